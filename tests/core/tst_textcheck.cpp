// What the author typed is checked before anything is asked or written: the
// first character that would break the file, by box, line and column, and the
// message that names it readably.
#include "core/codepages.h"
#include "core/textcheck.h"

#include <QTest>

using namespace Qt::StringLiterals;
using TextCheck::Problem;

class TestTextCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsTheFirstProblem_data()
    {
        QTest::addColumn<QString>("oneLineText");
        QTest::addColumn<QString>("multiLineText");
        QTest::addColumn<QString>("found");   // "kind line:column U+code", or "" for none
        QTest::newRow("plain text, tab, quotes") << u"a\t\"b\""_s << u"one\r\ntwo \"x\""_s << QString();
        QTest::newRow("Western letters") << u"\u20AC caf\u00E9 \u0153"_s << QString() << QString();
        QTest::newRow("LF in a one-line box") << u"First\nSecond"_s << QString() << u"box break 1:6 U+000A"_s;
        QTest::newRow("CR in a one-line box") << u"a\rb"_s << QString() << u"box break 1:2 U+000D"_s;
        QTest::newRow("CR LF in a one-line box") << u"\r\n"_s << QString() << u"box break 1:1 U+000D"_s;
        QTest::newRow("lone LF in a multi-line box") << QString() << u"a\r\nb\nc"_s << u"page break 2:2 U+000A"_s;
        QTest::newRow("NUL on line 3") << QString() << u"a\r\nb\r\ncd\u0000"_s << u"page control 3:3 U+0000"_s;
        QTest::newRow("BEL") << u"\u0007"_s << QString() << u"box control 1:1 U+0007"_s;
        QTest::newRow("ESC") << QString() << u"x\u001B"_s << u"page control 1:2 U+001B"_s;
        QTest::newRow("DEL") << u"x\u007F"_s << QString() << u"box control 1:2 U+007F"_s;
        QTest::newRow("C1 control") << u"a\u0081"_s << QString() << u"box control 1:2 U+0081"_s;
        QTest::newRow("NEL") << u"\u0085"_s << QString() << u"box control 1:1 U+0085"_s;
        QTest::newRow("the one-line box first") << u"\u4E66"_s << u"\u0007"_s << u"box code page 1:1 U+4E66"_s;
        QTest::newRow("emoji counts once") << QString() << u"\U0001F600\U0001F600 \u4E66"_s
                                           << u"page code page 1:1 U+1F600"_s;
        QTest::newRow("column after an emoji") << u"\u00E9\U0001F600"_s << QString() << u"box code page 1:2 U+1F600"_s;
        QTest::newRow("right-to-left override") << u"ab\u202E"_s << QString() << u"box code page 1:3 U+202E"_s;
        QTest::newRow("byte order mark") << QString() << u"\r\n\uFEFF"_s << u"page code page 2:1 U+FEFF"_s;
        QTest::newRow("lone surrogate") << u"a\xD800"_s << QString() << u"box code page 1:2 U+D800"_s;
    }
    void findsTheFirstProblem()
    {
        QFETCH(QString, oneLineText);
        QFETCH(QString, multiLineText);
        QFETCH(QString, found);
        FileContent content;
        content.line({fixed(u"key:\""_s), oneLine(oneLineText, u"box"_s), fixed(u"\""_s)});
        content.line({multiLine(multiLineText, u"page"_s)});
        const std::optional<Problem> problem = TextCheck::firstProblem(content, 1252);
        QString described;
        if (problem) {
            const char *kinds[] = {"break", "control", "code page"};
            described = u"%1 %2 %3:%4 U+%5"_s.arg(problem->place, QLatin1String(kinds[problem->kind]))
                            .arg(problem->line)
                            .arg(problem->column)
                            .arg(QString::number(problem->codePoint, 16).toUpper().rightJustified(4, u'0'));
        }
        QCOMPARE(described, found);
    }

    // The character itself is shown only where it can be seen, and isolated so
    // that a right-to-left one cannot turn the sentence around.
    void namesTheCharacterReadably_data()
    {
        QTest::addColumn<uint>("codePoint");
        QTest::addColumn<QString>("words");
        QTest::newRow("Chinese") << 0x4E66u << u"the character \u201C\u2068\u4E66\u2069\u201D (U+4E66)"_s;
        QTest::newRow("Hebrew letter") << 0x05D0u << u"the character \u201C\u2068\u05D0\u2069\u201D (U+05D0)"_s;
        QTest::newRow("right-to-left override") << 0x202Eu << u"the invisible character U+202E"_s;
        QTest::newRow("byte order mark") << 0xFEFFu << u"the invisible character U+FEFF"_s;
        QTest::newRow("combining acute") << 0x0301u << u"the combining mark U+0301"_s;
        QTest::newRow("ideographic space") << 0x3000u << u"the invisible character U+3000"_s;
    }
    void namesTheCharacterReadably()
    {
        QFETCH(uint, codePoint);
        QFETCH(QString, words);
        const QString message = TextCheck::message({Problem::Unencodable, u"page 3 (Page_2)"_s, 2, 7, codePoint}, 1252);
        QVERIFY2(message.startsWith(u"In page 3 (Page_2), line 2, column 7, there is %1. It cannot be written: "
                                    "the Western code page (Windows-1252) has no such character."_s.arg(words)),
                 qPrintable(message));
        QVERIFY(message.endsWith(u"\n\nReplace or remove it, then save again. Nothing was written."_s));
    }

    // The message names the code page in use and those that have the character.
    void suggestsCodePagesThatHaveIt_data()
    {
        QTest::addColumn<uint>("codePoint");
        QTest::addColumn<int>("codePage");
        QTest::addColumn<QString>("suggestion");
        QTest::newRow("ł in Western") << 0x0142u << 1252 << u" These code pages have it: Central European "
                                                                "(Windows-1250), Baltic (Windows-1257).\n"_s;
        QTest::newRow("ж in Central European") << 0x0436u << 1250 << u" These code pages have it: Cyrillic "
                                                                          "(Windows-1251).\n"_s;
        QTest::newRow("emoji, in none") << 0x1F600u << 1252 << u"\n"_s;
        QTest::newRow("byte order mark, in none") << 0xFEFFu << 1251 << u"\n"_s;
    }
    void suggestsCodePagesThatHaveIt()
    {
        QFETCH(uint, codePoint);
        QFETCH(int, codePage);
        QFETCH(QString, suggestion);
        const QString message = TextCheck::message({Problem::Unencodable, u"goal 1"_s, 1, 1, codePoint}, codePage);
        QVERIFY2(message.contains(CodePages::description(codePage) + u" has no such character."_s + suggestion),
                 qPrintable(message));
    }

    void explainsControlCharacters()
    {
        QCOMPARE(TextCheck::message({Problem::ControlCharacter, u"goal 2"_s, 1, 4, 0x1B}, 1252),
                 u"In goal 2, line 1, column 4, there is the control character U+001B. Control characters cannot "
                 "be written into the game's files.\n\nReplace or remove it, then save again. Nothing was written."_s);
    }
};

QTEST_GUILESS_MAIN(TestTextCheck)
#include "tst_textcheck.moc"
