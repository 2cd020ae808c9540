// A file edited as its text: lines typed in a box (which keeps no line ends)
// become a change of the document that touches only the bytes of those
// lines, keeps every other byte and line end, and keeps the changes a form
// made elsewhere in the file.
#include "core/document/lineendings.h"
#include "core/document/strdocument.h"
#include "core/document/typedlines.h"
#include "core/save/textcheck.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// The document after `typed` (the box's text, lines joined by LF) took the
// place of what it showed, as the source view hands it over.
StrDocument typedInto(StrDocument document, const QString &typed)
{
    const QString shown = document.wholeText();
    const auto change = TypedLines::change(TypedLines::shownLines(shown), typed.split(u'\n'), document.lineEnd());
    if (change)
        document.replaceText(change->from, change->to, change->text, u"the source of Diary.str"_s);
    return document;
}

} // namespace

class TestSourceText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesTyped_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("lineEnd");
        QTest::addColumn<QString>("result");

        QTest::newRow("a line changed keeps its CR LF") << u"A\r\nB\r\nC\r\n"_s << u"A\nB2\nC\n"_s << u"\r\n"_s
                                                        << u"A\r\nB2\r\nC\r\n"_s;
        QTest::newRow("mixed line ends stay mixed") << u"A\nB\r\nC\n"_s << u"A\nBx\nC\n"_s << u"\n"_s << u"A\nBx\r\nC\n"_s;
        QTest::newRow("a line put in takes the end before it") << u"A\r\nB"_s << u"A\nnew\nB"_s << u"\n"_s
                                                               << u"A\r\nnew\r\nB"_s;
        QTest::newRow("the last line taken out") << u"A\r\nB"_s << u"A"_s << u"\r\n"_s << u"A"_s;
        QTest::newRow("a line put after a last line without its end") << u"A\r\nB"_s << u"A\nB\nC"_s << u"\n"_s
                                                                       << u"A\r\nB\r\nC"_s;
        QTest::newRow("an empty line put at the end") << u"A\n"_s << u"A\n\n"_s << u"\r\n"_s << u"A\n\n"_s;
        QTest::newRow("everything taken out") << u"A\r\nB\r\n"_s << QString() << u"\r\n"_s << QString();
        QTest::newRow("lines typed into an empty file") << QString() << u"x\ny"_s << u"\r\n"_s << u"x\r\ny"_s;
        QTest::newRow("two lines joined keep the second's end") << u"A\r\nB\nC\r\n"_s << u"AB\nC\n"_s << u"\r\n"_s
                                                                << u"AB\nC\r\n"_s;
        QTest::newRow("a line split in two") << u"AB\r\nC\n"_s << u"A\nB\nC\n"_s << u"\n"_s << u"A\r\nB\r\nC\n"_s;
        QTest::newRow("a CR inside a line stays") << u"a\rb\nC\n"_s << u"a\u240Db\nC2\n"_s << u"\n"_s << u"a\rb\nC2\n"_s;
        QTest::newRow("nothing typed") << u"A\r\nB"_s << u"A\nB"_s << u"\r\n"_s << u"A\r\nB"_s;
    }

    void linesTyped()
    {
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QString, lineEnd);
        QFETCH(QString, result);
        QCOMPARE(TypedLines::shownLines(shown).join(QString()), shown);
        const QStringList box = TypedLines::boxText(shown).split(u'\n');
        QCOMPARE(TypedLines::shownLines(shown).size(), box.size());
        const auto change = TypedLines::change(TypedLines::shownLines(shown), typed.split(u'\n'), lineEnd);
        QCOMPARE(change.has_value(), result != shown);
        if (!change)
            return;
        QCOMPARE(shown.left(change->from) + change->text + shown.mid(change->to), result);
        QCOMPARE(change->lines.size(), change->newCount);
        QCOMPARE(change->lines.join(QString()), change->text);
    }

    void documentTyped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("formText");   // the text of the first entry, changed by a form first
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("written");

        const QByteArray book = "// Diary\r\nPage_0:\"It was dark.\"\nPage_1: \"The door.\"\r\nPage_2:\"Last\"";
        QTest::newRow("only the line typed changes")
            << book << false << QString()
            << u"// Diary\nPage_0:\"It was dark.\"\nPage_1: \"The door was locked.\"\nPage_2:\"Last\""_s
            << QByteArray("// Diary\r\nPage_0:\"It was dark.\"\nPage_1: \"The door was locked.\"\r\nPage_2:\"Last\"");
        QTest::newRow("a comment line put in")
            << book << false << QString()
            << u"// Diary\nPage_0:\"It was dark.\"\n// the second page\nPage_1: \"The door.\"\nPage_2:\"Last\""_s
            << QByteArray("// Diary\r\nPage_0:\"It was dark.\"\n// the second page\nPage_1: \"The door.\"\r\nPage_2:\"Last\"");
        QTest::newRow("the form's change elsewhere stays")
            << book << false << u"Night"_s
            << u"// Diary\nPage_0:\"Night\"\nPage_1: \"The door.\"\nPage_2:\"Last page\""_s
            << QByteArray("// Diary\r\nPage_0:\"Night\"\nPage_1: \"The door.\"\r\nPage_2:\"Last page\"");
        QTest::newRow("a line the form changed typed again")
            << book << false << u"Night"_s
            << u"// Diary\nPage_0:\"Night fell.\" // late\nPage_1: \"The door.\"\nPage_2:\"Last\""_s
            << QByteArray("// Diary\r\nPage_0:\"Night fell.\" // late\nPage_1: \"The door.\"\r\nPage_2:\"Last\"");
        QTest::newRow("a page put after the last line")
            << book << false << QString()
            << u"// Diary\nPage_0:\"It was dark.\"\nPage_1: \"The door.\"\nPage_2:\"Last\"\nPage_3:\"More\""_s
            << QByteArray("// Diary\r\nPage_0:\"It was dark.\"\nPage_1: \"The door.\"\r\nPage_2:\"Last\"\r\nPage_3:\"More\"");
        QTest::newRow("a line taken out")
            << book << false << QString() << u"// Diary\nPage_1: \"The door.\"\nPage_2:\"Last\""_s
            << QByteArray("// Diary\r\nPage_1: \"The door.\"\r\nPage_2:\"Last\"");
        QTest::newRow("a code page's letters kept and typed")
            << QByteArray("Page_0:\"\xB3\xF3\x64\x9F\"\r\nPage_1:\"x\"\r\n") << false << QString()
            << u"Page_0:\"łódź\"\nPage_1:\"Łąka\"\n"_s << QByteArray("Page_0:\"\xB3\xF3\x64\x9F\"\r\nPage_1:\"\xA3\xB9ka\"\r\n");
        QTest::newRow("the first line of a UTF-8 file with its mark")
            << QByteArray("\xEF\xBB\xBFPage_0:\"\xC5\x82\"\nPage_1:\"b\"\n") << true << QString()
            << u"Page_0:\"ł!\"\nPage_1:\"b\"\n"_s << QByteArray("Page_0:\"\xB3!\"\nPage_1:\"b\"\n");
    }

    void documentTyped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QFETCH(QString, formText);
        QFETCH(QString, typed);
        QFETCH(QByteArray, written);
        StrDocument document(bytes, {1250, utf8});
        if (!formText.isEmpty())
            document.setText(0, formText, multiLine(formText, u"page 1"_s));
        const StrDocument after = typedInto(document, typed);
        QCOMPARE(LineEndings::toLf(after.wholeText()), typed);
        QCOMPARE(after.write(1250).value_or("<not written>"), written);
        QVERIFY(!TextCheck::firstProblem(after.authorTexts(), 1250));
    }

    // Undone, a change typed is the document before it: the caller keeps that
    // document; nothing of the typing stays in it.
    void typingLeavesTheDocumentItCameFrom()
    {
        const StrDocument before(QByteArray("Page_0:\"a\"\r\n"), {1252, false});
        const StrDocument after = typedInto(before, u"Page_0:\"b\"\n"_s);
        QCOMPARE(before.write(1252).value_or("<not written>"), QByteArray("Page_0:\"a\"\r\n"));
        QCOMPARE(after.write(1252).value_or("<not written>"), QByteArray("Page_0:\"b\"\r\n"));
    }

    // A character the code page lacks is found at the file's own line and
    // column, before anything is written.
    void namesTheLineOfACharacterTheCodePageLacks()
    {
        const StrDocument before(QByteArray("// one\r\n// two\r\nPage_0:\"a\"\r\n"), {1252, false});
        const StrDocument after = typedInto(before, u"// one\n// two\nPage_0:\"a \u0142\"\n"_s);
        QVERIFY(!after.write(1252));
        const auto problem = TextCheck::firstProblem(after.authorTexts(), 1252);
        QVERIFY(problem);
        QCOMPARE(problem->line, 3);
        QCOMPARE(problem->column, 11);
        QCOMPARE(problem->codePoint, char32_t(0x142));
        QVERIFY(TextCheck::message(*problem, 1252)
                    .startsWith(u"In the source of Diary.str, line 3, column 11, there is the character"_s));
    }
};

QTEST_GUILESS_MAIN(TestSourceText)
#include "tst_sourcetext.moc"
