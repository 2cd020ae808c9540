// The small rules the editors rely on, without a window: how typed numbers
// are read, where a window is centred, which file names Windows refuses, and
// the first character of the author's texts that would break the file, by
// box, line and column, with the message that names it readably.
#include "core/kinds/book.h"
#include "core/app/centring.h"
#include "core/document/lineendings.h"
#include "core/kinds/missflag.h"
#include "core/kinds/prose.h"
#include "core/save/textcheck.h"

#include <QTest>

using namespace Qt::StringLiterals;
using MissflagFile::Reading;
using TextCheck::Problem;

class TestRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheMissionNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("reading");      // MissflagFile::Reading
        QTest::addColumn<int>("skipLines");
        const QLocale c = QLocale::c();
        const auto accepted = [&c](const char *typed, int skipLines, const QLocale &locale) {
            QTest::newRow(typed) << QString::fromUtf8(typed) << locale << int(Reading::Accepted) << skipLines;
        };
        for (const auto &[typed, skipLines] : {std::pair{"20", 19}, {"1", 0}, {"0", 0}, {"-2", 0}, {"-5000", 0},
                                               {"2.5", 1}, {" 7", 6}, {"07", 6}, {"+4 ", 3}, {"999", 998},
                                               {"999.0", 998}, {"998.9", 997}})
            accepted(typed, skipLines, c);
        QTest::newRow("2,5 in German") << u"2,5"_s << QLocale(QLocale::German) << int(Reading::Accepted) << 1;
        for (const char *typed : {"", "ab", "-", "+", "  ", "2.", ".5", "2,5", "1 0", "1e3", "- 3", "\u0663"})
            QTest::newRow(typed) << QString::fromUtf8(typed) << c << int(Reading::NotANumber) << 0;
        QTest::newRow("2.5 in German") << u"2.5"_s << QLocale(QLocale::German) << int(Reading::NotANumber) << 0;
        for (const char *typed : {"1000", "999.5", "999.01", "0001000", "1234567890", "99999999999999999999"})
            QTest::newRow(typed) << QString::fromUtf8(typed) << c << int(Reading::AboveHighest) << 0;
    }
    void readsTheMissionNumber()
    {
        QFETCH(QString, typed);
        QFETCH(QLocale, locale);
        QFETCH(int, reading);
        QFETCH(int, skipLines);
        const MissflagFile::MissionNumber number = MissflagFile::readMissionNumber(typed, locale);
        QCOMPARE(int(number.reading), reading);
        QCOMPARE(number.skipLines, skipLines);
    }

    void readsThePageNumber_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("slot");   // -1: refused
        for (const auto &[typed, slot] : {std::pair{"0", 0}, {" 49 ", 49}, {"0049", 49}, {"7", 7}, {"", -1},
                                          {"two", -1}, {"-1", -1}, {"+1", -1}, {"50", -1}, {"1.5", -1},
                                          {"99999999999", -1}, {"1 2", -1}})
            QTest::newRow(typed) << QString::fromLatin1(typed) << slot;
    }
    void readsThePageNumber()
    {
        QFETCH(QString, typed);
        QFETCH(int, slot);
        QCOMPARE(BookFile::slotFromText(typed).value_or(-1), slot);
    }

    void centresInTheAvailableArea_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QPoint>("topLeft");
        QTest::newRow("panel above") << QRect(0, 40, 1920, 1040) << QSize(742, 516) << QPoint(589, 302);
        QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QSize(742, 516) << QPoint(2189, 254);
        QTest::newRow("odd difference, truncated") << QRect(0, 0, 4231, 0) << QSize(0, 0) << QPoint(2115, 0);
        QTest::newRow("larger than the screen") << QRect(0, 0, 0, 0) << QSize(101, 3) << QPoint(-50, -1);
    }
    void centresInTheAvailableArea()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, outer);
        QFETCH(QPoint, topLeft);
        QCOMPARE(Centring::centredTopLeft(available, outer), topLeft);
    }

    void refusesFileNamesWindowsCannotUse_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");   // empty: allowed
        for (const char *allowed : {"Diary.str", "  .str", "Diary.str.str", "con1.str", "Console.str", "a b.str",
                                    "\u00C9t\u00E9.str"})
            QTest::newRow(allowed) << QString::fromUtf8(allowed) << QString();
        QTest::newRow("colon") << u"a:b.str"_s << u"it holds \u201C:\u201D, which Windows does not allow in file names"_s;
        QTest::newRow("slash") << u"1/2.str"_s << u"it holds \u201C/\u201D, which Windows does not allow in file names"_s;
        QTest::newRow("NUL") << u"a\u0000.str"_s << u"it holds the control character U+0000"_s;
        for (const char *name : {"Diary.", "Diary "})
            QTest::newRow(name) << QString::fromLatin1(name)
                                << u"Windows does not allow a file name to end with a dot or a blank"_s;
        for (const auto &[name, device] : {std::pair{"CON", "CON"}, {"aux.str", "aux"}, {"Lpt1.txt.str", "Lpt1"},
                                           {"nul .str", "nul"}})
            QTest::newRow(name) << QString::fromLatin1(name)
                                << u"Windows keeps the name \u201C%1\u201D for a device"_s.arg(QLatin1String(device));
    }
    void refusesFileNamesWindowsCannotUse()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        const std::optional<Error> refused = TextCheck::fileNameProblem(name);
        QCOMPARE(refused ? refused->message : QString(), reason);
    }

    void findsTheFirstProblem_data()
    {
        QTest::addColumn<QString>("oneLineText");
        QTest::addColumn<QString>("multiLineText");
        QTest::addColumn<QString>("found");   // "kind line:column U+code", or "" for none
        QTest::newRow("tab, quotes, Western letters") << u"a\t\"b\" \u20AC caf\u00E9 \u0153"_s << u"one\r\ntwo \"x\""_s
                                                      << QString();
        QTest::newRow("LF in a one-line box") << u"First\nSecond"_s << QString() << u"box break 1:6 U+000A"_s;
        QTest::newRow("CR LF in a one-line box") << u"\r\n"_s << QString() << u"box break 1:1 U+000D"_s;
        QTest::newRow("lone LF in a multi-line box") << QString() << u"a\r\nb\nc"_s << u"page break 2:2 U+000A"_s;
        QTest::newRow("NUL on line 3") << QString() << u"a\r\nb\r\ncd\u0000"_s << u"page control 3:3 U+0000"_s;
        QTest::newRow("DEL") << u"x\u007F"_s << QString() << u"box control 1:2 U+007F"_s;
        QTest::newRow("C1 control") << u"a\u0081"_s << QString() << u"box control 1:2 U+0081"_s;
        QTest::newRow("the one-line box first") << u"\u4E66"_s << u"\u0007"_s << u"box code page 1:1 U+4E66"_s;
        QTest::newRow("emoji counts once") << QString() << u"\U0001F600\U0001F600 \u4E66"_s
                                           << u"page code page 1:1 U+1F600"_s;
        QTest::newRow("column after an emoji") << u"\u00E9\U0001F600"_s << QString() << u"box code page 1:2 U+1F600"_s;
        QTest::newRow("byte order mark") << QString() << u"\r\n\uFEFF"_s << u"page code page 2:1 U+FEFF"_s;
        QTest::newRow("lone surrogate") << u"a\xD800"_s << QString() << u"box code page 1:2 U+D800"_s;
    }
    void findsTheFirstProblem()
    {
        QFETCH(QString, oneLineText);
        QFETCH(QString, multiLineText);
        QFETCH(QString, found);
        const Pieces texts{oneLine(oneLineText, u"box"_s), multiLine(multiLineText, u"page"_s)};
        const std::optional<Problem> p = TextCheck::firstProblem(texts, 1252);
        const char *kinds[] = {"break", "control", "code page"};
        QCOMPARE(p ? QString::asprintf("%s %s %d:%d U+%04X", qPrintable(p->place), kinds[p->kind], p->line, p->column,
                                       static_cast<uint>(p->codePoint))
                   : QString(),
                 found);
    }

    // The character itself is shown only where it can be seen, and isolated so
    // that a right-to-left one cannot turn the sentence around; the message
    // names the code page in use and those that have the character.
    void explainsTheProblem_data()
    {
        QTest::addColumn<uint>("codePoint");   // in Windows-1252; below U+0020 a control character
        QTest::addColumn<QString>("words");    // between "there is " and the closing advice
        const QString western = u" It cannot be written: the Western code page (Windows-1252) has no such character."_s;
        QTest::newRow("right-to-left override") << 0x202Eu << u"the invisible character U+202E."_s + western;
        QTest::newRow("combining acute") << 0x0301u << u"the combining mark U+0301."_s + western
                                                           + u" These code pages have it: Vietnamese (Windows-1258)."_s;
        QTest::newRow("l with stroke")
            << 0x0142u << u"the character \u201C\u2068\u0142\u2069\u201D (U+0142)."_s + western
                              + u" These code pages have it: Central European (Windows-1250), Baltic (Windows-1257)."_s;
        QTest::newRow("control character") << 0x1Bu << u"the control character U+001B. Control characters cannot be "
                                                       "written into the game's files."_s;
    }
    void explainsTheProblem()
    {
        QFETCH(uint, codePoint);
        QFETCH(QString, words);
        const Problem::Kind kind = codePoint < 0x20 ? Problem::ControlCharacter : Problem::Unencodable;
        QCOMPARE(TextCheck::message({kind, u"goal 2"_s, 1, 4, codePoint, {}}, 1252),
                 u"In goal 2, line 1, column 4, there is "_s + words
                     + u"\n\nReplace or remove it, then save again. Nothing was written."_s);
    }

    // Line breaks as the boxes hold them (LF) and as the files write them
    // (CR LF), whichever of LF, CR LF or a lone CR a text came with.
    void convertsLineEnds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lf");
        QTest::addColumn<QString>("crLf");
        QTest::newRow("none") << u"a b"_s << u"a b"_s << u"a b"_s;
        QTest::newRow("empty") << QString() << QString() << QString();
        QTest::newRow("LF") << u"a\nb\n"_s << u"a\nb\n"_s << u"a\r\nb\r\n"_s;
        QTest::newRow("CR LF") << u"a\r\nb"_s << u"a\nb"_s << u"a\r\nb"_s;
        QTest::newRow("lone CR") << u"a\rb\r"_s << u"a\nb\n"_s << u"a\r\nb\r\n"_s;
        QTest::newRow("mixed") << u"\r\r\n\n\n\r"_s << u"\n\n\n\n\n"_s << u"\r\n\r\n\r\n\r\n\r\n"_s;
    }
    void convertsLineEnds()
    {
        QFETCH(QString, text);
        QFETCH(QString, lf);
        QFETCH(QString, crLf);
        QCOMPARE(LineEndings::toLf(text), lf);
        QCOMPARE(LineEndings::toCrLf(text), crLf);
        QCOMPARE(LineEndings::toCrLf(lf), crLf);
    }
    void tellsProseFromValues_data()
    {
        QTest::addColumn<Kinds::Kind>("kind");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("prose");
        const Kinds::Kind book = Kinds::Kind::Book;
        const Kinds::Kind table = Kinds::Kind::Other;
        QTest::newRow("a page") << book << u"Page_0"_s << u"It was dark."_s << true;
        QTest::newRow("one word") << table << u"Name_Apple"_s << u"Apple"_s << true;
        QTest::newRow("a flag") << book << u"no_trim"_s << u"1"_s << false;
        QTest::newRow("a font") << book << u"font"_s << u"textfont"_s << false;
        QTest::newRow("decal geometry") << book << u"Page_3"_s << u"#0 $ 1 203 257 370"_s << false;
        QTest::newRow("decal with a picture") << book << u"Page_4"_s << u"#2 0 0 0 art/pbook"_s << false;
        QTest::newRow("a picture's path") << table << u"icon_1"_s << u"art\\icons\\key.pcx"_s << false;
        QTest::newRow("a file name") << table << u"model"_s << u"candle.bin"_s << false;
        QTest::newRow("a number") << table << u"count"_s << u" 42 "_s << false;
        QTest::newRow("a sentence ending in a dot") << table << u"hint"_s << u"Go north.Then west"_s << true;
        QTest::newRow("mission flags") << Kinds::Kind::Missflag << u"miss_20"_s << u"no_briefing"_s << false;
        QTest::newRow("a number in a sentence") << table << u"hint"_s << u"#1 in the city"_s << true;
        QTest::newRow("a fontanna is no font") << table << u"fontanna"_s << u"Fontanna"_s << true;
    }
    void tellsProseFromValues()
    {
        QFETCH(Kinds::Kind, kind);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(bool, prose);
        QCOMPARE(Kinds::holdsProse(kind, key, text), prose);
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
