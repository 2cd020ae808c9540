// The Books tab driven as an author drives it, the book file compared byte for byte.
#include "support/harness.h"
#include "support/testing.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString WorkedExample = u"Bname=Diary|Page=It was dark.|!Apage|Page=The door was locked.|!Apage"_s;
const QByteArray TwoPages = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Old = "an older file, emptied first\r\n";

// The tab's mode as the author sees it: both frame captions and which of
// "Add new Page" and "Append/Cancel" can be clicked.
QString mode(const Harness &h)
{
    return h.text("Frame2") + u'|' + h.text("Frame7") + QLatin1String(h.enabled("Apage") ? "|add" : "")
        + QLatin1String(h.enabled("ApPage") ? "|append" : "");
}

// The last message box: icon, title and text.
QString lastMessage(const Harness &h)
{
    return QString::number(int(h.lastMessage().icon)) + u'|' + h.lastMessage().title + u'|' + h.lastMessage().text;
}

} // namespace

class TestBookPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The file, the name the save dialog proposes (the book name and ".str", as
    // typed; "" when no dialog opens) and the start of the last message shown
    // ("icon|title|text"). Whatever would break the file is refused before the dialog.
    void writesTheBookFile_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("suggested");
        QTest::addColumn<QString>("message");
        const auto row = [](const char *name, const QString &steps, const QByteArray &expected, const char *suggested,
                            const QString &message = {}) {
            QTest::newRow(name) << steps << expected << QString::fromUtf8(suggested) << message;
        };
        const QString refused = u"2|Qwr|"_s;
        row("with place", u"ComOpt=Library, top shelf|"_s + WorkedExample,
            "// Book Location - Library, top shelf\r\n" + TwoPages, "Diary.str");
        row("without place", WorkedExample, TwoPages, "Diary.str");
        row("place of one blank", u"ComOpt= |"_s + WorkedExample, "// Book Location -  \r\n" + TwoPages, "Diary.str");
        row("place typed, then deleted", u"ComOpt=Attic|ComOpt=|"_s + WorkedExample, TwoPages, "Diary.str");
        row("place, no pages", u"Bname=B|ComOpt=Attic"_s, "// Book Location - Attic\r\n", "B.str");
        row("nothing: empty file", u"Bname=  "_s, "", "  .str");
        row("two lines, quotes, empty page", u"Bname=Diary.str|Page=First line,\nsecond \"line\".|!Apage|!Apage"
                                             u"|!Command3|!ApPage"_s,
            "Page_0:\"First line,\r\nsecond \"line\".\"\r\nPage_1:\"\"\r\n", "Diary.str.str");
        // Slot 1 corrected, slot 2 given another key by hand, slot 4 (beyond the
        // book) stored but not saved, and the text being edited not yet stored.
        row("edited entries", WorkedExample + u"|Page=c|!Apage|!Command2|Page=Page_1:\"ONE\"|!ApPage|!Command2*2|Page="
                                              u"Page_7:\"x |!ApPage|!Command2*4|Page=out|!ApPage|!Command3|Page=not"_s,
            "Page_0:\"It was dark.\"\r\nPage_1:\"ONE\"\r\nPage_7:\"x \r\n", "Diary.str");
        row("reset, new page", WorkedExample + u"|ComOpt=Hall|?Yes|!Rsetme|Bname=New|Page=new|!Apage"_s,
            "Page_0:\"new\"\r\n", "New.str", u"0|Reset Book|Are you sure you want to reset the book?"_s);
        row("no name", u"Page=p|!Apage"_s, Old, "", u"0|Qwr|You forgot to name your book!"_s);
        row("emoji", WorkedExample + u"|Page+=Run \U0001F600|!Apage"_s, Old, "",
            refused + u"In page 3 (Page_2), line 1, column 13, there is the character"_s);
        row("line break pasted into the place", WorkedExample + u"|ComOpt+=Hall\nPage_9:\"x"_s, Old, "",
            refused + u"The \"Place of Book\" box holds a line break (U+000A) at line 1, column 5"_s);
        row("NUL in a page, second line", WorkedExample + u"|Page=ab\ncd|Page+=\u0000|!Apage"_s, Old, "",
            refused + u"In page 3 (Page_2), line 2, column 3, there is the control character"_s);
        row("name Windows cannot use", u"Bname=Diary: Part/2|Page=p|!Apage"_s, Old, "",
            refused + u"The book name cannot be used as a file name: it holds \u201C:\u201D"_s);
    }
    void writesTheBookFile()
    {
        QFETCH(QString, steps);
        QFETCH(QByteArray, expected);
        QFETCH(QString, suggested);
        QFETCH(QString, message);
        Harness h;
        Testing::writeAll(h.path(u"book.str"_s), Old);
        h.run(steps);
        QCOMPARE(h.save("SvBook", u"book.str"_s), expected);
        QCOMPARE(h.prompts.suggestedNames.value(0), suggested);
        const QString shown = h.prompts.messages.isEmpty() ? QString() : lastMessage(h);
        QVERIFY2(message.isEmpty() ? shown.isEmpty() : shown.startsWith(message), qPrintable(shown));
    }

    void acceptsFiftyPagesAndRefusesTheNext()
    {
        Harness h;
        QByteArray expected;
        for (int i = 0; i < 50; ++i) {
            h.run(u"Page=p%1|!Apage"_s.arg(i));
            expected += "Page_" + QByteArray::number(i) + ":\"p" + QByteArray::number(i) + "\"\r\n";
        }
        h.run(u"Page=one too many|!Apage"_s);
        QCOMPARE(lastMessage(h),
                 u"1|Page Limit.| Sorry 50 pages only!\nSave this Book and press Reset\nto create another."_s);
        QCOMPARE(h.text("Label11") + h.text("Page"), u"Pages = 50one too many"_s);
        h.run(u"Bname=Full"_s);
        QCOMPARE(h.save("SvBook", u"Full.str"_s), expected);
        h.run(u"!Command2|!ApPage"_s);
        QCOMPARE(h.text("Bptxt").count(u'\n'), 50);
    }

    void editModeStepsThroughTheSlots()
    {
        Harness h;
        const QString entryMode = u"Enter Page Text Here|Page(s) List|add"_s;
        h.run(u"!Command2|!Command3"_s);   // no page yet: nothing happens
        QCOMPARE(mode(h) + h.text("Pn"), entryMode);
        h.run(u"Page=zero|!Apage|Page=one|!Apage|Page=two|!Apage"_s);
        QCOMPARE(h.text("Label11") + u'|' + h.text("Page") + u'|' + h.text("Bptxt"),
                 u"Pages = 3||Page_0:\"zero\"\nPage_1:\"one\"\nPage_2:\"two\"\n"_s);
        h.run(u"!Command2"_s);
        QCOMPARE(mode(h), u"Edit this Page|Page being Edited|append"_s);
        QCOMPARE(h.text("Pn") + h.text("Page") + h.text("Bptxt"), u"1Page_1:\"one\"Page_1:\"one\""_s);
        h.run(u"!Command2*60"_s);
        QCOMPARE(h.text("Pn") + h.text("Page"), u"49"_s);
        h.run(u"!Command3*60"_s);
        QCOMPARE(h.text("Pn") + mode(h), u"0Editing Page|Page being Edited|append"_s);
        h.run(u"Page=lost|!Command2|!Command3"_s);   // stepping away loses the change
        QCOMPARE(h.text("Page"), u"Page_0:\"zero\""_s);
        h.run(u"!ApPage"_s);
        QCOMPARE(h.text("Pn") + h.text("Label11") + mode(h), u"0Pages = 3"_s + entryMode);
    }

    void resetAsksFirstAndKeepsTheMode()
    {
        Harness h;
        h.run(WorkedExample + u"|ComOpt=Cellar|!Command3|Page=typed|?No|!Rsetme"_s);
        QCOMPARE(lastMessage(h), u"0|Reset Book|Are you sure you want to reset the book?"_s);
        QCOMPARE(h.lastMessage().buttons, (QList{Prompts::Button::Yes, Prompts::Button::No}));
        QCOMPARE(h.lastMessage().defaultButton, Prompts::Button::Yes);
        QCOMPARE(h.text("Label11") + h.text("Page"), u"Pages = 2typed"_s);
        h.run(u"?Yes|!Rsetme"_s);
        QCOMPARE(h.text("Label11") + h.text("Bname") + h.text("ComOpt") + h.text("Page") + h.text("Bptxt"),
                 u"Pages = 0"_s);
        QCOMPARE(mode(h), u"Editing Page|Page being Edited|append"_s);
        h.run(u"!ApPage|Page=new|!Apage|!Command2"_s);   // the old slot 1 is still there, outside the book
        QCOMPARE(h.text("Page"), u"Page_1:\"The door was locked.\""_s);
    }

    // The page number box is read by BookFile::slotFromText (tst_rules); here only what the tab does with it.
    void refusesAPageNumberOutsideTheBook()
    {
        Harness h;
        h.run(WorkedExample + u"|!Command2|Page=Page_1:\"changed\"|Pn=50|!ApPage"_s);
        QCOMPARE(h.lastMessage().title, u"Qwr"_s);
        QVERIFY(h.lastMessage().text.contains(u"0 to 49"_s));
        QCOMPARE(mode(h), u"Edit this Page|Page being Edited|append"_s);   // still editing
        h.run(u"Pn= 1 |!ApPage"_s);
        QCOMPARE(h.text("Bptxt"), u"Page_0:\"It was dark.\"\nPage_1:\"changed\"\n"_s);
    }
};

QTEST_MAIN(TestBookPage)
#include "tst_bookpage.moc"
