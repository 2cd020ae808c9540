// The Books tab driven as an author drives it, the book file compared byte for byte.
#include "support/harness.h"
#include "support/testing.h"

#include <QDir>
#include <QTest>

namespace {

const QByteArray TwoPages = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";

void addPages(Harness &h, const QStringList &pages)
{
    for (const QString &text : pages) {
        h.type("Page", text);
        h.click("Apage");
    }
}

// The tab's mode as the author sees it: both frame captions and which of
// "Add new Page" and "Append/Cancel" can be clicked.
QString mode(const Harness &h)
{
    return h.text("Frame2") + QLatin1Char('|') + h.text("Frame7") + QLatin1String(h.enabled("Apage") ? "|add" : "")
        + QLatin1String(h.enabled("ApPage") ? "|append" : "");
}

void addWorkedExample(Harness &h)
{
    h.type("Bname", QStringLiteral("Diary"));
    addPages(h, {QStringLiteral("It was dark."), QStringLiteral("The door was locked.")});
}

} // namespace

class TestBookPage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesTheBookFile_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("with place, 93 bytes") << QStringLiteral("Library, top shelf")
                                              << QByteArray("// Book Location - Library, top shelf\r\n" + TwoPages);
        QTest::newRow("without place, 54 bytes") << QString() << TwoPages;
        QTest::newRow("place of one blank") << QStringLiteral(" ") << QByteArray("// Book Location -  \r\n" + TwoPages);
    }
    void writesTheBookFile()
    {
        QFETCH(QString, location);
        QFETCH(QByteArray, expected);
        Harness h;
        h.type("ComOpt", location);
        addWorkedExample(h);
        QCOMPARE(h.text("Label11"), QStringLiteral("Pages = 2"));
        QCOMPARE(h.text("Bptxt"), QStringLiteral("Page_0:\"It was dark.\"\nPage_1:\"The door was locked.\"\n"));
        QCOMPARE(h.text("Pn"), QStringLiteral("0"));
        QCOMPARE(h.text("Page"), QString());
        QCOMPARE(h.save("SvBook", QStringLiteral("Diary.str")), expected);
        QCOMPARE(h.prompts.suggestedNames, QStringList{QStringLiteral("Diary.str")});
        QVERIFY(h.prompts.messages.isEmpty());
    }

    void locationLineFollowsTheBoxAtSaveTime()
    {
        Harness h;
        h.type("Bname", QStringLiteral("Empty"));
        Testing::writeAll(h.path(QStringLiteral("a.str")), "old contents\r\n");
        QCOMPARE(h.save("SvBook", QStringLiteral("a.str")), QByteArray());   // emptied
        h.type("ComOpt", QStringLiteral("Attic"));
        h.type("ComOpt", QString());
        QCOMPARE(h.save("SvBook", QStringLiteral("b.str")), QByteArray());
        h.type("ComOpt", QStringLiteral("Attic"));
        QCOMPARE(h.save("SvBook", QStringLiteral("c.str")), QByteArray("// Book Location - Attic\r\n"));
    }

    void suggestsTheBookName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("suggested");
        QTest::newRow("plain") << QStringLiteral("Diary") << QStringLiteral("Diary.str");
        QTest::newRow("already .str") << QStringLiteral("Diary.str") << QStringLiteral("Diary.str.str");
        QTest::newRow("blanks pass") << QStringLiteral("  ") << QStringLiteral("  .str");
        QTest::newRow("no name: no dialog") << QString() << QString();
    }
    void suggestsTheBookName()
    {
        QFETCH(QString, name);
        QFETCH(QString, suggested);
        Harness h;
        h.type("Bname", name);
        h.click("SvBook");   // a dialog is cancelled: silently
        QCOMPARE(h.prompts.suggestedNames.value(0), suggested);
        QCOMPARE(h.prompts.messages.size(), suggested.isEmpty() ? 1 : 0);
        if (suggested.isEmpty()) {
            QCOMPARE(h.lastMessage().title + h.lastMessage().text, QStringLiteral("QwrYou forgot to name your book!"));
            QCOMPARE(h.lastMessage().icon, QMessageBox::NoIcon);
        }
    }

    void acceptsFiftyPagesAndRefusesTheNext()
    {
        Harness h;
        QByteArray expected;
        for (int i = 0; i < 50; ++i) {
            addPages(h, {QStringLiteral("p%1").arg(i)});
            expected += "Page_" + QByteArray::number(i) + ":\"p" + QByteArray::number(i) + "\"\r\n";
        }
        h.type("Page", QStringLiteral("one too many"));
        h.click("Apage");
        QCOMPARE(h.lastMessage().title, QStringLiteral("Page Limit."));
        QCOMPARE(h.lastMessage().text, QStringLiteral(" Sorry 50 pages only!\nSave this Book and press Reset\nto create another."));
        QCOMPARE(h.lastMessage().icon, QMessageBox::Information);
        QCOMPARE(h.text("Label11"), QStringLiteral("Pages = 50"));
        QCOMPARE(h.text("Page"), QStringLiteral("one too many"));
        h.type("Bname", QStringLiteral("Full"));
        QCOMPARE(h.save("SvBook", QStringLiteral("Full.str")), expected);
        h.click("Command2");
        h.click("ApPage");
        QCOMPARE(h.text("Bptxt").count(QLatin1Char('\n')), 50);
    }

    void editModeStepsThroughTheSlots()
    {
        Harness h;
        const QString entryMode = QStringLiteral("Enter Page Text Here|Page(s) List|add");
        h.click("Command2");   // no page yet: nothing happens
        QCOMPARE(mode(h), entryMode);
        addPages(h, {QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two")});
        h.click("Command2");
        QCOMPARE(mode(h), QStringLiteral("Edit this Page|Page being Edited|append"));
        QCOMPARE(h.text("Pn") + h.text("Page") + h.text("Bptxt"), QStringLiteral("1Page_1:\"one\"Page_1:\"one\""));
        for (int i = 0; i < 60; ++i)
            h.click("Command2");
        QCOMPARE(h.text("Pn") + h.text("Page"), QStringLiteral("49"));
        for (int i = 0; i < 60; ++i)
            h.click("Command3");
        QCOMPARE(h.text("Pn"), QStringLiteral("0"));
        QCOMPARE(mode(h), QStringLiteral("Editing Page|Page being Edited|append"));
        h.type("Page", QStringLiteral("Page_0:\"lost\""));   // stepping away loses it
        h.click("Command2");
        h.click("Command3");
        QCOMPARE(h.text("Page"), QStringLiteral("Page_0:\"zero\""));
        h.click("Command2");
        h.type("Page", QStringLiteral("Page_1:\"ONE\""));
        h.click("ApPage");
        QCOMPARE(h.text("Bptxt"), QStringLiteral("Page_0:\"zero\"\nPage_1:\"ONE\"\nPage_2:\"two\"\n"));
        QCOMPARE(h.text("Pn") + h.text("Label11"), QStringLiteral("0Pages = 3"));
        QCOMPARE(mode(h), entryMode);
    }

    void writesEntriesAsStored()
    {
        Harness h;
        h.type("Bname", QStringLiteral("Hand"));
        addPages(h, {QStringLiteral("First line,\nsecond \"line\"."), QString(), QStringLiteral("c")});
        h.click("Command3");
        h.click("ApPage");   // through edit mode unchanged: the CR LF stays
        h.click("Command2");
        h.click("Command2");   // slot 2, edited by hand into another key
        h.type("Page", QStringLiteral("Page_7:\"x"));
        h.click("ApPage");
        for (int i = 0; i < 4; ++i)   // slot 4 lies beyond the book: stored, not saved
            h.click("Command2");
        h.type("Page", QStringLiteral("outside"));
        h.click("ApPage");
        h.click("Command3");
        h.type("Page", QStringLiteral("not stored yet"));
        QCOMPARE(h.save("SvBook", QStringLiteral("Hand.str")),
                 QByteArray("Page_0:\"First line,\r\nsecond \"line\".\"\r\nPage_1:\"\"\r\nPage_7:\"x\r\n"));
        QCOMPARE(h.text("Bptxt"), QStringLiteral("Page_0:\"First line,\nsecond \"line\".\""));
    }

    void resetStartsANewBookAfterAskingFirst()
    {
        Harness h;
        h.type("Bname", QStringLiteral("Old"));
        h.type("ComOpt", QStringLiteral("Cellar"));
        addPages(h, {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
        h.prompts.answers = {QMessageBox::No};
        h.click("Rsetme");
        const Prompts::Message &question = h.lastMessage();
        QCOMPARE(question.title + QLatin1Char('|') + question.text,
                 QStringLiteral("Reset Book|Are you sure you want to reset the book?"));
        QVERIFY(question.icon == QMessageBox::NoIcon && question.defaultButton == QMessageBox::Yes);
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(h.text("Label11"), QStringLiteral("Pages = 3"));
        h.click("Command3");   // edit mode survives the reset
        h.click("Rsetme");     // Yes, the default
        QCOMPARE(h.text("Label11"), QStringLiteral("Pages = 0"));
        for (const char *box : {"Bname", "ComOpt", "Page", "Bptxt"})
            QCOMPARE(h.text(box), QString());
        QCOMPARE(mode(h), QStringLiteral("Editing Page|Page being Edited|append"));
        h.click("ApPage");
        addPages(h, {QStringLiteral("new")});
        h.click("Command2");   // the old slot 1 is still there, outside the book
        QCOMPARE(h.text("Page"), QStringLiteral("Page_1:\"b\""));
        h.type("Bname", QStringLiteral("New"));
        QCOMPARE(h.save("SvBook", QStringLiteral("New.str")), QByteArray("Page_0:\"new\"\r\n"));
    }

    void refusesAPageNumberOutsideTheBook_data()
    {
        QTest::addColumn<QString>("typed");
        for (const char *typed : {"", "two", "-1", "50", "1.5", "99999999999"})
            QTest::newRow(typed) << QString::fromLatin1(typed);
    }
    void refusesAPageNumberOutsideTheBook()
    {
        QFETCH(QString, typed);
        Harness h;
        addPages(h, {QStringLiteral("a"), QStringLiteral("b")});
        h.click("Command2");
        h.type("Page", QStringLiteral("Page_1:\"changed\""));
        h.type("Pn", typed);
        h.click("ApPage");
        QCOMPARE(h.lastMessage().title, QStringLiteral("Qwr"));
        QVERIFY(h.lastMessage().text.contains(QStringLiteral("0 to 49")));
        QCOMPARE(mode(h), QStringLiteral("Edit this Page|Page being Edited|append"));   // still editing
        QCOMPARE(h.text("Page"), QStringLiteral("Page_1:\"changed\""));
        h.type("Pn", QStringLiteral(" 1 "));
        h.click("ApPage");
        QCOMPARE(h.text("Bptxt"), QStringLiteral("Page_0:\"a\"\nPage_1:\"changed\"\n"));
    }

    void refusesCharactersTheGameCannotRead_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("expected");   // in the message
        QTest::newRow("emoji") << QString() << QStringLiteral("Run \U0001F600") << QStringLiteral("(U+1F600) in page 2");
        QTest::newRow("Chinese") << QStringLiteral("\u4E66") << QStringLiteral("ok") << QStringLiteral("(U+4E66) in the \"Place of Book\"");
        QTest::newRow("C1 control") << QString() << QStringLiteral("a\u0081") << QStringLiteral("(U+0081) in page 2");
    }
    void refusesCharactersTheGameCannotRead()
    {
        QFETCH(QString, location);
        QFETCH(QString, page);
        QFETCH(QString, expected);
        Harness h;
        h.type("Bname", QStringLiteral("Odd"));
        h.paste("ComOpt", location);
        addPages(h, {QStringLiteral("first")});
        h.paste("Page", page);
        h.click("Apage");
        QCOMPARE(h.save("SvBook", QStringLiteral("Odd.str")), QByteArray("<missing>"));
        QVERIFY(h.prompts.suggestedNames.isEmpty());   // refused before the dialog
        QCOMPARE(h.lastMessage().icon, QMessageBox::Warning);
        QVERIFY2(h.lastMessage().text.contains(expected), qPrintable(h.lastMessage().text));
    }

    void writesWesternCharactersAsWindows1252()
    {
        Harness h;
        h.type("Bname", QStringLiteral("Western"));
        h.paste("Page", QStringLiteral("\u20AC5 \u0153uvre caf\u00E9\u00A0\u2019s \u2014 \u00FF"));
        h.click("Apage");
        QCOMPARE(h.save("SvBook", QStringLiteral("W.str")), QByteArray("Page_0:\"\x80" "5 \x9Cuvre caf\xE9\xA0\x92s \x97 \xFF\"\r\n"));
    }

    void reportsAPathThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("missing folder") << QStringLiteral("no such folder/Book.str");
        QTest::newRow("parent is a file") << QStringLiteral("plain.txt/Book.str");
        QTest::newRow("path is a folder") << QStringLiteral("folder");
    }
    void reportsAPathThatCannotBeWritten()
    {
        QFETCH(QString, fileName);
        Harness h;
        Testing::writeAll(h.path(QStringLiteral("plain.txt")), "keep me");
        QVERIFY(QDir(h.dir.path()).mkdir(QStringLiteral("folder")));
        addWorkedExample(h);
        h.save("SvBook", fileName);
        QCOMPARE(h.lastMessage().title, QStringLiteral("Qwr"));
        QCOMPARE(h.lastMessage().icon, QMessageBox::Warning);
        QVERIFY(h.lastMessage().text.contains(QDir::toNativeSeparators(h.path(fileName))));
        QCOMPARE(Testing::readAll(h.path(QStringLiteral("plain.txt"))), QByteArray("keep me"));
        QVERIFY(QFileInfo(h.path(QStringLiteral("folder"))).isDir());
        h.prompts.answers = {QMessageBox::No};   // the book is still unsaved
        QVERIFY(!h.window().close());
    }
};

QTEST_MAIN(TestBookPage)
#include "tst_bookpage.moc"
