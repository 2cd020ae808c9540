// The Books tab driven as an author drives it: typing into the boxes, clicking
// the buttons, and comparing the written book file byte for byte.
#include "app/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testing.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using Testing::readAll;
using Testing::type;

class TestBookPage : public QObject
{
    Q_OBJECT

private:
    template <typename T>
    T *w(const char *name) const
    {
        T *widget = m_window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget %s", name);
        return widget;
    }
    QPushButton *button(const char *name) const { return w<QPushButton>(name); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void addPage(const QString &text)
    {
        type(w<QPlainTextEdit>("Page"), text);
        click("Apage");
    }
    // Saves the book to `fileName` in the temporary folder and returns its bytes.
    QByteArray save(const QString &fileName)
    {
        const QString path = m_dir->filePath(fileName);
        m_prompts->paths.append(path);
        click("SvBook");
        return readAll(path);
    }
    QString listText() const { return w<QPlainTextEdit>("Bptxt")->toPlainText(); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<Qwr> m_window;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompts = std::make_unique<ScriptedPrompts>();
        m_window = std::make_unique<Qwr>(m_prompts.get());
        m_window->Form_Load();
    }
    void cleanup()
    {
        m_prompts->answers = {QMessageBox::Yes};   // let the window close
        m_window.reset();
    }

    void startsEmptyInEntryMode()
    {
        QCOMPARE(w<QLabel>("Label11")->text(), QStringLiteral("Pages = 0"));
        QVERIFY(button("Apage")->isEnabled());
        QVERIFY(!button("ApPage")->isEnabled());
        QCOMPARE(w<QGroupBox>("Frame2")->title(), QStringLiteral("Enter Page Text Here"));
        QCOMPARE(w<QGroupBox>("Frame7")->title(), QStringLiteral("Page(s) List"));
        // "+" and "-" do nothing while the book has no page.
        click("Command2");
        click("Command3");
        QVERIFY(button("Apage")->isEnabled());
        QVERIFY(!button("ApPage")->isEnabled());
        QCOMPARE(w<QLineEdit>("Pn")->text(), QString());
        QCOMPARE(w<QGroupBox>("Frame2")->title(), QStringLiteral("Enter Page Text Here"));
    }

    void writesTheWorkedExample_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray pages = "Page_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
        QTest::newRow("with place") << QStringLiteral("Library, top shelf")
                                    << QByteArray("// Book Location - Library, top shelf\r\n" + pages);
        QTest::newRow("without place") << QString() << pages;
        QTest::newRow("place of one blank") << QStringLiteral(" ") << QByteArray("// Book Location -  \r\n" + pages);
    }
    void writesTheWorkedExample()
    {
        QFETCH(QString, location);
        QFETCH(QByteArray, expected);
        type(w<QLineEdit>("Bname"), QStringLiteral("Diary"));
        type(w<QLineEdit>("ComOpt"), location);
        addPage(QStringLiteral("It was dark."));
        addPage(QStringLiteral("The door was locked."));
        QCOMPARE(w<QLabel>("Label11")->text(), QStringLiteral("Pages = 2"));
        QCOMPARE(listText(), QStringLiteral("Page_0:\"It was dark.\"\nPage_1:\"The door was locked.\"\n"));
        QCOMPARE(w<QLineEdit>("Pn")->text(), QStringLiteral("0"));
        QVERIFY(w<QPlainTextEdit>("Page")->toPlainText().isEmpty());

        const QByteArray written = save(QStringLiteral("Diary.str"));
        QCOMPARE(written, expected);
        QCOMPARE(m_prompts->suggestedNames, QStringList{QStringLiteral("Diary.str")});
        QVERIFY(m_prompts->messages.isEmpty());
        if (location.isEmpty())
            QCOMPARE(written.size(), 54);
        else if (location.size() > 1)
            QCOMPARE(written.size(), 93);
    }

    void locationLineFollowsTheBoxAtSaveTime()
    {
        type(w<QLineEdit>("Bname"), QStringLiteral("Empty"));
        // No pages, no place: an empty file, also over an existing one.
        Testing::writeAll(m_dir->filePath(QStringLiteral("a.str")), "old contents\r\n");
        QCOMPARE(save(QStringLiteral("a.str")), QByteArray());
        // Typed, then deleted again: no location line.
        type(w<QLineEdit>("ComOpt"), QStringLiteral("Attic"));
        type(w<QLineEdit>("ComOpt"), QString());
        QCOMPARE(save(QStringLiteral("b.str")), QByteArray());
        // A place and no pages: the comment line alone.
        type(w<QLineEdit>("ComOpt"), QStringLiteral("Attic"));
        QCOMPARE(save(QStringLiteral("c.str")), QByteArray("// Book Location - Attic\r\n"));
    }

    void suggestsTheBookNameWithStr_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("suggested");
        QTest::newRow("plain") << QStringLiteral("Diary") << QStringLiteral("Diary.str");
        QTest::newRow("already .str") << QStringLiteral("Diary.str") << QStringLiteral("Diary.str.str");
        QTest::newRow("blanks pass") << QStringLiteral("  ") << QStringLiteral("  .str");
    }
    void suggestsTheBookNameWithStr()
    {
        QFETCH(QString, name);
        QFETCH(QString, suggested);
        type(w<QLineEdit>("Bname"), name);
        click("SvBook");   // the dialog is cancelled
        QCOMPARE(m_prompts->suggestedNames, QStringList{suggested});
        QVERIFY(m_prompts->messages.isEmpty());
    }

    void refusesToSaveWithoutABookName()
    {
        type(w<QLineEdit>("ComOpt"), QStringLiteral("Attic"));
        addPage(QStringLiteral("one"));
        click("SvBook");
        QVERIFY(m_prompts->suggestedNames.isEmpty());
        QCOMPARE(m_prompts->messages.size(), 1);
        const Prompts::Message &message = m_prompts->messages.constFirst();
        QCOMPARE(message.text, QStringLiteral("You forgot to name your book!"));
        QCOMPARE(message.title, QStringLiteral("Qwr"));
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void acceptsFiftyPagesAndRefusesTheNext()
    {
        for (int i = 0; i < 50; ++i)
            addPage(QStringLiteral("p%1").arg(i));
        QCOMPARE(w<QLabel>("Label11")->text(), QStringLiteral("Pages = 50"));
        type(w<QPlainTextEdit>("Page"), QStringLiteral("one too many"));
        click("Apage");
        QCOMPARE(m_prompts->messages.size(), 1);
        const Prompts::Message &limit = m_prompts->messages.constFirst();
        QCOMPARE(limit.title, QStringLiteral("Page Limit."));
        QCOMPARE(limit.text, QStringLiteral(" Sorry 50 pages only!\nSave this Book and press Reset\nto create another."));
        QCOMPARE(limit.icon, QMessageBox::Information);
        QCOMPARE(w<QLabel>("Label11")->text(), QStringLiteral("Pages = 50"));
        QCOMPARE(w<QPlainTextEdit>("Page")->toPlainText(), QStringLiteral("one too many"));

        QByteArray expected;
        for (int i = 0; i < 50; ++i)
            expected += "Page_" + QByteArray::number(i) + ":\"p" + QByteArray::number(i) + "\"\r\n";
        type(w<QLineEdit>("Bname"), QStringLiteral("Full"));
        QCOMPARE(save(QStringLiteral("Full.str")), expected);

        // Entering edit mode and leaving it lists exactly the fifty entries.
        click("Command2");
        click("ApPage");
        QCOMPARE(listText().count(QLatin1Char('\n')), 50);
    }

    void editModeStepsThroughTheSlots()
    {
        addPage(QStringLiteral("zero"));
        addPage(QStringLiteral("one"));
        addPage(QStringLiteral("two"));
        click("Command2");
        QCOMPARE(w<QGroupBox>("Frame2")->title(), QStringLiteral("Edit this Page"));
        QCOMPARE(w<QGroupBox>("Frame7")->title(), QStringLiteral("Page being Edited"));
        QVERIFY(!button("Apage")->isEnabled());
        QVERIFY(button("ApPage")->isEnabled());
        QCOMPARE(w<QLineEdit>("Pn")->text(), QStringLiteral("1"));
        QCOMPARE(w<QPlainTextEdit>("Page")->toPlainText(), QStringLiteral("Page_1:\"one\""));
        QCOMPARE(listText(), QStringLiteral("Page_1:\"one\""));
        click("Command2");
        click("Command2");
        QCOMPARE(w<QLineEdit>("Pn")->text(), QStringLiteral("3"));
        QVERIFY(w<QPlainTextEdit>("Page")->toPlainText().isEmpty());
        for (int i = 0; i < 60; ++i)
            click("Command2");
        QCOMPARE(w<QLineEdit>("Pn")->text(), QStringLiteral("49"));
        for (int i = 0; i < 60; ++i)
            click("Command3");
        QCOMPARE(w<QLineEdit>("Pn")->text(), QStringLiteral("0"));
        QCOMPARE(w<QGroupBox>("Frame2")->title(), QStringLiteral("Editing Page"));
        QCOMPARE(w<QPlainTextEdit>("Page")->toPlainText(), QStringLiteral("Page_0:\"zero\""));

        // A change is lost when the author steps away before Append/Cancel.
        type(w<QPlainTextEdit>("Page"), QStringLiteral("Page_0:\"lost\""));
        click("Command2");
        click("Command3");
        QCOMPARE(w<QPlainTextEdit>("Page")->toPlainText(), QStringLiteral("Page_0:\"zero\""));

        // Correct slot 1 and store it.
        click("Command2");
        type(w<QPlainTextEdit>("Page"), QStringLiteral("Page_1:\"ONE\""));
        click("ApPage");
        QCOMPARE(listText(), QStringLiteral("Page_0:\"zero\"\nPage_1:\"ONE\"\nPage_2:\"two\"\n"));
        QCOMPARE(w<QLineEdit>("Pn")->text(), QStringLiteral("0"));
        QCOMPARE(w<QGroupBox>("Frame2")->title(), QStringLiteral("Enter Page Text Here"));
        QCOMPARE(w<QGroupBox>("Frame7")->title(), QStringLiteral("Page(s) List"));
        QVERIFY(button("Apage")->isEnabled());
        QVERIFY(!button("ApPage")->isEnabled());
        QCOMPARE(w<QLabel>("Label11")->text(), QStringLiteral("Pages = 3"));
        QVERIFY(w<QPlainTextEdit>("Page")->toPlainText().isEmpty());
    }

    void handEditedEntriesAreWrittenAsLeft()
    {
        addPage(QStringLiteral("a"));
        addPage(QStringLiteral("b"));
        addPage(QStringLiteral("c"));
        click("Command2");
        click("Command2");   // slot 2
        type(w<QPlainTextEdit>("Page"), QStringLiteral("Page_7:\"x"));
        click("ApPage");
        // A slot beyond the book is stored, but neither listed nor saved...
        for (int i = 0; i < 4; ++i)
            click("Command2");
        type(w<QPlainTextEdit>("Page"), QStringLiteral("outside"));
        click("ApPage");
        QCOMPARE(listText(), QStringLiteral("Page_0:\"a\"\nPage_1:\"b\"\nPage_7:\"x\n"));
        type(w<QLineEdit>("Bname"), QStringLiteral("Hand"));
        QCOMPARE(save(QStringLiteral("Hand.str")), QByteArray("Page_0:\"a\"\r\nPage_1:\"b\"\r\nPage_7:\"x\r\n"));
        // ...and the next added page takes that slot over.
        addPage(QStringLiteral("d"));
        QCOMPARE(listText(), QStringLiteral("Page_0:\"a\"\nPage_1:\"b\"\nPage_7:\"x\nPage_3:\"d\"\n"));
    }

    void savingInEditModeWritesTheStoredEntries()
    {
        type(w<QLineEdit>("Bname"), QStringLiteral("Edit"));
        addPage(QStringLiteral("kept"));
        click("Command3");
        type(w<QPlainTextEdit>("Page"), QStringLiteral("Page_0:\"not yet stored\""));
        QCOMPARE(save(QStringLiteral("Edit.str")), QByteArray("Page_0:\"kept\"\r\n"));
    }

    void keepsLineBreaksAndQuotesOfAPage()
    {
        type(w<QLineEdit>("Bname"), QStringLiteral("Two lines"));
        addPage(QStringLiteral("First line,\nsecond \"line\"."));
        addPage(QString());
        QCOMPARE(listText(), QStringLiteral("Page_0:\"First line,\nsecond \"line\".\"\nPage_1:\"\"\n"));
        const QByteArray expected = "Page_0:\"First line,\r\nsecond \"line\".\"\r\nPage_1:\"\"\r\n";
        QCOMPARE(save(QStringLiteral("Two.str")), expected);
        // Through edit mode unchanged, the entry keeps its CR LF.
        click("Command3");
        click("ApPage");
        QCOMPARE(save(QStringLiteral("Two again.str")), expected);
    }

    void resetStartsANewBookAfterAskingFirst()
    {
        type(w<QLineEdit>("Bname"), QStringLiteral("Old"));
        type(w<QLineEdit>("ComOpt"), QStringLiteral("Cellar"));
        for (const char *text : {"a", "b", "c", "d", "e"})
            addPage(QLatin1String(text));

        m_prompts->answers = {QMessageBox::No};
        click("Rsetme");
        QCOMPARE(m_prompts->messages.size(), 1);
        const Prompts::Message &question = m_prompts->messages.constFirst();
        QCOMPARE(question.title, QStringLiteral("Reset Book"));
        QCOMPARE(question.text, QStringLiteral("Are you sure you want to reset the book?"));
        QCOMPARE(question.icon, QMessageBox::NoIcon);
        QCOMPARE(question.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.defaultButton, QMessageBox::Yes);
        QCOMPARE(w<QLabel>("Label11")->text(), QStringLiteral("Pages = 5"));
        QCOMPARE(w<QLineEdit>("Bname")->text(), QStringLiteral("Old"));

        click("Command3");   // edit mode (on slot 0) survives the reset
        type(w<QPlainTextEdit>("Page"), QStringLiteral("typed"));
        m_prompts->answers = {QMessageBox::Yes};
        click("Rsetme");
        QCOMPARE(w<QLabel>("Label11")->text(), QStringLiteral("Pages = 0"));
        QVERIFY(w<QLineEdit>("Bname")->text().isEmpty());
        QVERIFY(w<QLineEdit>("ComOpt")->text().isEmpty());
        QVERIFY(w<QPlainTextEdit>("Page")->toPlainText().isEmpty());
        QVERIFY(listText().isEmpty());
        QVERIFY(!button("Apage")->isEnabled());
        QVERIFY(button("ApPage")->isEnabled());
        QCOMPARE(w<QGroupBox>("Frame2")->title(), QStringLiteral("Editing Page"));
        click("ApPage");

        addPage(QStringLiteral("new"));
        QCOMPARE(listText(), QStringLiteral("Page_0:\"new\"\n"));
        click("Command2");   // the old slot 1 is still there, outside the book
        QCOMPARE(w<QPlainTextEdit>("Page")->toPlainText(), QStringLiteral("Page_1:\"b\""));
        click("ApPage");
        type(w<QLineEdit>("Bname"), QStringLiteral("New"));
        QCOMPARE(save(QStringLiteral("New.str")), QByteArray("Page_0:\"new\"\r\n"));
    }

    void refusesAPageNumberOutsideTheBook_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("letters") << QStringLiteral("two");
        QTest::newRow("negative") << QStringLiteral("-1");
        QTest::newRow("fifty") << QStringLiteral("50");
        QTest::newRow("fraction") << QStringLiteral("1.5");
        QTest::newRow("huge") << QStringLiteral("99999999999");
    }
    void refusesAPageNumberOutsideTheBook()
    {
        QFETCH(QString, typed);
        addPage(QStringLiteral("a"));
        addPage(QStringLiteral("b"));
        click("Command2");
        type(w<QPlainTextEdit>("Page"), QStringLiteral("Page_1:\"changed\""));
        type(w<QLineEdit>("Pn"), typed);
        click("ApPage");
        QCOMPARE(m_prompts->messages.size(), 1);
        QCOMPARE(m_prompts->messages.constFirst().title, QStringLiteral("Qwr"));
        QVERIFY(m_prompts->messages.constFirst().text.contains(QStringLiteral("0 to 49")));
        // Still in edit mode, the text kept, no slot written.
        QVERIFY(button("ApPage")->isEnabled());
        QVERIFY(!button("Apage")->isEnabled());
        QCOMPARE(w<QPlainTextEdit>("Page")->toPlainText(), QStringLiteral("Page_1:\"changed\""));
        // Correcting the number then stores the entry.
        type(w<QLineEdit>("Pn"), QStringLiteral(" 1 "));
        click("ApPage");
        QCOMPARE(listText(), QStringLiteral("Page_0:\"a\"\nPage_1:\"changed\"\n"));
    }

    void refusesCharactersTheGameCannotRead_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("secondPage");
        QTest::addColumn<QString>("character");
        QTest::addColumn<QString>("place");
        QTest::newRow("emoji on a page") << QString() << QStringLiteral("Run \U0001F600") << QStringLiteral("U+1F600")
                                         << QStringLiteral("page 2");
        QTest::newRow("Chinese in the place") << QStringLiteral("\u4E66\u623F") << QStringLiteral("fine")
                                              << QStringLiteral("U+4E66") << QStringLiteral("Place of Book");
        QTest::newRow("C1 control") << QString() << QStringLiteral("a\u0081b") << QStringLiteral("U+0081")
                                    << QStringLiteral("page 2");
    }
    void refusesCharactersTheGameCannotRead()
    {
        QFETCH(QString, location);
        QFETCH(QString, secondPage);
        QFETCH(QString, character);
        QFETCH(QString, place);
        type(w<QLineEdit>("Bname"), QStringLiteral("Odd"));
        w<QLineEdit>("ComOpt")->insert(location);
        addPage(QStringLiteral("first"));
        w<QPlainTextEdit>("Page")->insertPlainText(secondPage);
        click("Apage");
        m_prompts->paths.append(m_dir->filePath(QStringLiteral("Odd.str")));
        click("SvBook");
        QVERIFY(m_prompts->suggestedNames.isEmpty());   // refused before the dialog
        QCOMPARE(m_prompts->messages.size(), 1);
        const Prompts::Message &message = m_prompts->messages.constFirst();
        QCOMPARE(message.title, QStringLiteral("Qwr"));
        QCOMPARE(message.icon, QMessageBox::Warning);
        QVERIFY2(message.text.contains(character), qPrintable(message.text));
        QVERIFY2(message.text.contains(place), qPrintable(message.text));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("Odd.str"))));
    }

    void writesWesternCharactersAsWindows1252()
    {
        type(w<QLineEdit>("Bname"), QStringLiteral("Western"));
        w<QPlainTextEdit>("Page")->insertPlainText(QStringLiteral("\u20AC5 \u0153uvre caf\u00E9\u00A0\u2019s \u2014 \u00FF"));
        click("Apage");
        QCOMPARE(save(QStringLiteral("Western.str")), QByteArray("Page_0:\"\x80" "5 \x9Cuvre caf\xE9\xA0\x92s \x97 \xFF\"\r\n"));
    }

    void reportsAPathThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("missing folder") << QStringLiteral("no such folder/Book.str");
        QTest::newRow("parent is a file") << QStringLiteral("plain.txt/Book.str");
        QTest::newRow("path is a folder") << QStringLiteral("folder");
    }
    void reportsAPathThatCannotBeWritten()
    {
        QFETCH(QString, relativePath);
        Testing::writeAll(m_dir->filePath(QStringLiteral("plain.txt")), "keep me");
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
        type(w<QLineEdit>("Bname"), QStringLiteral("Book"));
        addPage(QStringLiteral("text"));
        const QString path = m_dir->filePath(relativePath);
        m_prompts->paths.append(path);
        click("SvBook");
        QCOMPARE(m_prompts->messages.size(), 1);
        const Prompts::Message &message = m_prompts->messages.constFirst();
        QCOMPARE(message.title, QStringLiteral("Qwr"));
        QCOMPARE(message.icon, QMessageBox::Warning);
        QVERIFY2(message.text.contains(QDir::toNativeSeparators(path)), qPrintable(message.text));
        QCOMPARE(readAll(m_dir->filePath(QStringLiteral("plain.txt"))), QByteArray("keep me"));
        QVERIFY(QFileInfo(m_dir->filePath(QStringLiteral("folder"))).isDir());
        // A failed save leaves the work unsaved: closing asks first.
        m_prompts->answers = {QMessageBox::No};
        QVERIFY(!m_window->close());
        QCOMPARE(m_prompts->messages.size(), 2);
    }

    void cancellingTheDialogIsSilent()
    {
        type(w<QLineEdit>("Bname"), QStringLiteral("Book"));
        addPage(QStringLiteral("text"));
        click("SvBook");
        QCOMPARE(m_prompts->suggestedNames.size(), 1);
        QVERIFY(m_prompts->messages.isEmpty());
        QVERIFY(QDir(m_dir->path()).isEmpty());
    }
};

QTEST_MAIN(TestBookPage)
#include "tst_bookpage.moc"
