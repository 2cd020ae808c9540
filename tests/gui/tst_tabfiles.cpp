// Each tab edits one file, the workspace's document of it: what a save
// proposes and writes, text typed and not yet stored kept across every save,
// one message for each refusal, every tab change a step of undo, and a file
// opened alone read in its own code page. Files compared byte for byte,
// message boxes counted.
#include "core/mission/workspace.h"
#include "gui/mission/missionpanel.h"
#include "gui/tabs/editorpage.h"
#include "support/harness.h"
#include "support/modal.h"
#include "support/testing.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>

using namespace Qt::StringLiterals;
using Testing::readAll;

namespace {

const QByteArray Diary = "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Goals = "fiction_0:\"Open the door\"\r\ntext_0:\"Quietly\"\r\n";

// A mission with a book and goals; the book chosen in the mission panel, as the author chooses it.
QString openBookFromPanel(Harness &h)
{
    const QString root = h.path(u"mission"_s);
    QDir(root).mkpath(u"books/english"_s);
    Testing::writeAll(QDir(root).filePath(u"books/english/Diary.str"_s), Diary);
    h.prompts.setNextPath(root);
    h.window().openFolderAction->trigger();
    MissionPanel *panel = h.window().missionPanel;
    if (!panel || !QTest::qWaitFor([panel] { return !panel->isReading(); }, 30000))
        return {};
    QTreeView *tree = panel->missionTree;
    tree->expandAll();
    QModelIndex file = tree->model()->index(0, 0);
    while (file.isValid() && !file.data().toString().endsWith(u"Diary.str"_s))
        file = tree->indexBelow(file);
    tree->setFocus();
    tree->setCurrentIndex(file);
    QTest::keyClick(tree, Qt::Key_Return);
    return QDir(root).filePath(u"books/english/Diary.str"_s);
}

QString opened(Harness &h, const QString &name, const QByteArray &bytes)
{
    Testing::writeAll(h.path(name), bytes);
    return h.window().openFile(h.path(name)) ? h.path(name) : QString();
}

void pressSave(Harness &h)
{
    h.window().Tab1->tabBar()->setFocus();   // not in a box, whose own keys it would be
    QTest::keySequence(&h.window(), QKeySequence::Save);
}

void pressUndo(Harness &h)
{
    h.window().Tab1->tabBar()->setFocus();
    QTest::keySequence(&h.window(), QKeySequence::Undo);
}

// Types `text` into the text of row `row` of the Strings table, as the author does.
void typeIntoRow(Harness &h, int row, const QString &text)
{
    auto *table = h.find<QTableView>("stringsTable");
    table->setFocus();
    table->setCurrentIndex(table->model()->index(row, 1));
    QTest::keyClick(table, Qt::Key_F2);
    QWidget *editor = QApplication::focusWidget();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Tab);   // ends the edit
}

} // namespace

class TestTabFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The program uses the platform's own save dialog; the tests drive Qt's.
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }
    void init()
    {
        Harness h;   // settles where settings go
        QSettings().clear();
    }

    // Ctrl+S writes what the tab's own button writes: the pages stored, not
    // the page typed, nor the correction open after "+"; every box, list,
    // counter and mode stays, and the typed text still counts as unsaved.
    void typedTextStaysAcrossSave()
    {
        Harness h;
        const QString book = openBookFromPanel(h);
        QVERIFY(!book.isEmpty() && h.window().Tab1->currentWidget()->objectName() == u"BooksTab"_s);
        h.run(u"!Command2|Page=Page_1:\"The door was open.\"|!ApPage|Page=Not added yet."_s);
        pressSave(h);
        const QByteArray corrected = QByteArray(Diary).replace("locked", "open");
        QCOMPARE(readAll(book), corrected);
        QCOMPARE(h.text("Page"), u"Not added yet."_s);
        QCOMPARE(h.text("Label11"), u"Pages = 2"_s);
        QCOMPARE(h.prompts.suggestedNames, QStringList());
        QVERIFY(h.closeQuestion().startsWith(u"Typed into a box and not yet stored, so no file holds it yet:\n\n"
                                             "- the page typed but not yet added with \"Add new Page\"\n\n"_s));
        // An open correction, and the tab's own button proposing the file itself.
        h.run(u"Page=|!Command2|Page=Page_1:\"The door was ajar.\""_s);
        h.prompts.setNextPath(book);
        h.click("SvBook");
        QCOMPARE(h.prompts.suggestedNames, QStringList{book});
        QCOMPARE(readAll(book), corrected);
        QCOMPARE(h.text("Page") + u'|' + h.text("Frame2") + u'|' + h.text("Pn"),
                 u"Page_1:\"The door was ajar.\"|Edit this Page|1"_s);
        QVERIFY(h.enabled("ApPage") && !h.enabled("Apage"));
        h.run(u"!ApPage"_s);
        pressSave(h);
        QCOMPARE(readAll(book), QByteArray(Diary).replace("locked", "ajar"));
        // The Goals text box in edit mode, of a file opened alone.
        const QString goals = opened(h, u"goals.str"_s, Goals);
        h.run(u"!Edit|Goaltxt=fiction_0:\"Shut the door\""_s);
        pressSave(h);
        QCOMPARE(readAll(goals), Goals);
        QCOMPARE(h.text("Goaltxt"), u"fiction_0:\"Shut the door\""_s);
        QVERIFY(h.enabled("EGoal"));
    }

    // After the file was changed outside and reloaded, the next correction is
    // laid into the file as it now is, and saved.
    void aCorrectionAfterAReloadIsSaved()
    {
        Harness h;
        const QString book = opened(h, u"Diary.str"_s, Diary);
        h.run(u"!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s);
        pressSave(h);
        QCOMPARE(readAll(book), QByteArray(Diary).replace("locked", "open"));
        const QByteArray outside = QByteArray(Diary).replace("locked", "barred").replace("Tower", "Cellar");
        Testing::writeAll(book, outside);
        QTRY_VERIFY_WITH_TIMEOUT(!h.prompts.messages.isEmpty(), 10000);
        QVERIFY2(h.lastMessage().text.endsWith(u"Reload it?"_s), qPrintable(h.lastMessage().text));
        QTRY_VERIFY(h.text("Bptxt").contains(u"barred"_s));   // the question's default: reloaded
        QCOMPARE(h.text("ComOpt"), u"Cellar"_s);
        h.run(u"!Command2|Page=Page_1:\"The door was gone.\"|!ApPage"_s);
        pressSave(h);
        QCOMPARE(readAll(book), QByteArray(outside).replace("barred", "gone"));
        QCOMPARE(h.prompts.messages.size(), 1);
    }

    // The tab's own button proposes the suggested name and remembers no
    // path; File › Save binds the tab to the file it writes, and a later
    // Ctrl+S writes there in place.
    void theTabsOwnButtonProposesTheSuggestedName()
    {
        Harness h;
        h.run(u"Bname=Diary.str|Page=It was dark.|!Apage"_s);
        QCOMPARE(h.save("SvBook", u"first.str"_s), "Page_0:\"It was dark.\"\r\n");
        QCOMPARE(h.save("SvBook", u"second.str"_s), "Page_0:\"It was dark.\"\r\n");
        QCOMPARE(h.prompts.suggestedNames, (QStringList{u"Diary.str.str"_s, u"Diary.str.str"_s}));
        h.run(u"Gfict=f|Gtxt=t|!Agoal"_s);
        const QByteArray goal = "fiction_0:\"f\"\r\ntext_0:\"t\"\r\n";
        QCOMPARE(h.save("Sgoals", u"g1.str"_s), goal);
        h.prompts.setNextPath({});   // cancelled
        h.click("Sgoals");
        h.window().Tab1->setCurrentWidget(h.find("GoalsTab"));
        h.prompts.setNextPath(h.path(u"g2.str"_s));
        h.window().saveAction->trigger();
        QCOMPARE(h.prompts.suggestedNames.mid(2), (QStringList{u"goals.str"_s, u"goals.str"_s, u"goals.str"_s}));
        QCOMPARE(readAll(h.path(u"g2.str"_s)), goal);
        h.run(u"Gfict=f2|Gtxt=t2|!Agoal"_s);
        pressSave(h);
        QCOMPARE(h.prompts.suggestedNames.size(), 5);   // no dialog: in place
        QCOMPARE(readAll(h.path(u"g2.str"_s)), goal + "fiction_1:\"f2\"\r\ntext_1:\"t2\"\r\n");
        QCOMPARE(readAll(h.path(u"g1.str"_s)), goal);
        // Bound, the tab's button proposes that file itself.
        h.prompts.setNextPath({});
        h.click("Sgoals");
        QCOMPARE(h.prompts.suggestedNames.constLast(), h.path(u"g2.str"_s));
        QCOMPARE(h.prompts.messages.size(), 0);
    }

    // What the save refuses is said once, whether the entry was stored in a
    // new book or in a file opened, and nothing is written.
    void eachRefusalIsShownOnce_data()
    {
        QTest::addColumn<QByteArray>("opened");   // empty: a new book
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("message");
        const QString slot = u"Page=a|!Apage|Page=b|!Apage|Page=c|!Apage|!Command2*2|Page=Page_7:\"x\"|!ApPage"_s;
        QTest::newRow("another slot's key, new") << QByteArray() << u"Bname=B|"_s + slot
                                                 << u"In page 3 (Page_2), line 1, column 1: the key Page_7 does not "
                                                    "belong to this slot, which holds Page_2."_s;
        QTest::newRow("another slot's key, opened")
            << QByteArray("Page_0:\"a\"\r\nPage_1:\"b\"\r\nPage_2:\"c\"\r\n") << u"!Command2*2|Page=Page_7:\"x\"|!ApPage"_s
            << u"In page 3 (Page_2), line 1, column 1: the key Page_7 does not belong to this slot, which holds Page_2."_s;
        QTest::newRow("a character the code page lacks, opened")
            << QByteArray("Page_0:\"a\"\r\n") << u"Page+=\u0416|!Apage"_s
            << u"In page 2 (Page_1), line 1, column 9, there is the character \u201C\u2068\u0416\u2069\u201D (U+0416)."_s;
    }
    void eachRefusalIsShownOnce()
    {
        QFETCH(QByteArray, opened);
        QFETCH(QString, steps);
        QFETCH(QString, message);
        Harness h;
        const QString path = opened.isEmpty() ? QString() : ::opened(h, u"Book.str"_s, opened);
        h.run(steps);
        h.prompts.setNextPath(h.path(u"out.str"_s));
        pressSave(h);
        QCOMPARE(h.prompts.messages.size(), 1);
        QVERIFY2(h.lastMessage().text.startsWith(message), qPrintable(h.lastMessage().text));
        QCOMPARE(readAll(h.path(u"out.str"_s)), QByteArray("<missing>"));
        if (!path.isEmpty())
            QCOMPARE(readAll(path), opened);
        QVERIFY(h.prompts.suggestedNames.isEmpty());
    }

    // Every tab change is a step of its file's undo, named for what it
    // takes back; Ctrl+Z takes it back and the tab shows the file without it,
    // the text typed and not stored staying where it is.
    void everyTabChangeIsAStepOfUndo()
    {
        Harness h;
        h.run(u"Page=one|!Apage|Page=two|!Apage|Page=typed, not added"_s);
        QCOMPARE(h.window().undoAction->text(), u"Undo Add page 2"_s);
        pressUndo(h);
        QCOMPARE(h.text("Label11") + u'|' + h.text("Bptxt"), u"Pages = 1|Page_0:\"one\"\n"_s);
        QCOMPARE(h.text("Page"), u"typed, not added"_s);
        h.window().redoAction->trigger();
        QCOMPARE(h.text("Label11"), u"Pages = 2"_s);
        // A campaign table edited: Edit › Undo takes each edit back.
        h.window().Tab1->setCurrentWidget(h.find("MissflagTab"));
        h.click("flagsCampaign");
        QVERIFY(!h.window().undoAction->isEnabled());
        h.click("addMission");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(h.window().Tab1->tabText(3).endsWith(u" *"_s));
        QCOMPARE(h.window().undoAction->text(), u"Undo Edit the missions in the table"_s);
        auto *table = h.find<QTableView>("missionTable");
        QCOMPARE(table->model()->rowCount(), 1);
        h.window().undoAction->trigger();
        QCOMPARE(table->model()->rowCount(), 0);
        QVERIFY(!h.window().Tab1->tabText(3).endsWith(u" *"_s));
        h.window().redoAction->trigger();
        QByteArray flags = Testing::MissflagHeader;   // the new row is mission 20, as the boxes had it
        for (int number = 1; number < 20; ++number)
            flags += "miss_" + QByteArray::number(number) + ": \"skip\"\r\n";
        QCOMPARE(h.save("Cmf", u"missflag.str"_s), flags + "miss_20: \"\"\r\nmiss_21: \"skip\"\r\n");
    }

    // The boxes of an opened campaign file: their edit, laid when saved, is
    // one step; choosing another mission then adds none; undone, the file
    // is written as it was.
    void theBoxesOfACampaignFileAreOneStep()
    {
        Harness h;
        const QByteArray file = "// flags\nmiss_1: \"skip\"\nmiss_19: \"no_loadout\"\nmiss_23: \"no_briefing,no_loadout\"\n";
        const QString path = opened(h, u"missflag.str"_s, file);
        h.click("flagsCampaign");   // from the table to the boxes
        QCOMPARE(h.text("Mnum") + u'|' + h.text("Bno"), u"23|no_briefing,no_loadout"_s);
        h.run(u"Bno=cutscene"_s);
        pressSave(h);
        QCOMPARE(readAll(path), QByteArray(file).replace("\"no_briefing,no_loadout\"", "\"cutscene\""));
        QCOMPARE(h.window().undoAction->text(), u"Undo Typing on the Missflag tab"_s);
        auto *choice = h.find<QComboBox>("missionChoice");
        choice->setFocus();
        QTest::keyClick(choice, Qt::Key_Up);   // to miss_19, nothing more to keep
        QCOMPARE(h.text("Mnum") + u'|' + h.text("Bno"), u"19|no_loadout"_s);
        QCOMPARE(h.window().documentOf(h.find<EditorPage>("MissflagTab"))->undoStack()->count(), 1);
        pressUndo(h);
        pressSave(h);
        QCOMPARE(readAll(path), file);
        QCOMPARE(h.prompts.messages.size(), 0);
    }

    // A Strings table edit and a correction in another tab are steps of their
    // own files: Ctrl+Z in each tab takes back that file's last step.
    void undoInATabTakesBackItsOwnFile()
    {
        Harness h;
        const QString strings = opened(h, u"objnames.str"_s, "name_box: \"Box\"\r\nname_lamp: \"Lamp\"\r\n");
        auto *table = h.find<QTableView>("stringsTable");
        typeIntoRow(h, 1, u"Lantern"_s);
        QCOMPARE(table->model()->index(1, 1).data().toString(), u"Lantern"_s);
        const QString book = opened(h, u"Diary.str"_s, Diary);
        h.run(u"Page=The end.|!Apage"_s);
        h.window().Tab1->setCurrentWidget(h.find("stringsTab"));
        QCOMPARE(h.window().undoAction->text(), u"Undo Edit name_lamp"_s);
        pressUndo(h);
        QCOMPARE(table->model()->index(1, 1).data().toString(), u"Lamp"_s);
        h.window().Tab1->setCurrentWidget(h.find("BooksTab"));
        QCOMPARE(h.window().undoAction->text(), u"Undo Add page 3"_s);
        h.window().saveAllAction->trigger();
        QCOMPARE(readAll(book), Diary + "Page_2:\"The end.\"\r\n");
        QCOMPARE(readAll(strings), "name_box: \"Box\"\r\nname_lamp: \"Lamp\"\r\n");
    }

    // A file opened alone is read in the code page its mission's settings
    // give, or its bytes tell; it shows and saves its letters, and the
    // Encoding menu reads it again in the code page chosen.
    void aFileOpenedAloneGetsItsCodePage()
    {
        Harness h;
        QDir(h.dir.path()).mkpath(u"mission/strings/english"_s);
        Testing::writeAll(h.path(u"mission/quillwright.ini"_s), "[codepages]\nmission=1250\n");
        const QByteArray names = "name_apple: \"Jab\xB3ko\"\r\nname_box: \"Box\"\r\n";
        const QString path = h.path(u"mission/strings/english/objnames.str"_s);
        Testing::writeAll(path, names);
        QVERIFY(h.window().openPath(path));
        auto *table = h.find<QTableView>("stringsTable");
        QCOMPARE(table->model()->index(0, 1).data().toString(), u"Jab\u0142ko"_s);
        QCOMPARE(h.text("codePageLabel"), u"Encoding: Central European (Windows-1250)"_s);
        typeIntoRow(h, 1, u"Skrzynia"_s);
        pressSave(h);
        QCOMPARE(readAll(path), "name_apple: \"Jab\xB3ko\"\r\nname_box: \"Skrzynia\"\r\n");
        QVERIFY(h.prompts.messages.isEmpty());
        // Read again in the code page chosen; one with unsaved changes asked about first.
        for (QAction *item : h.window().encodingMenu->actions()) {
            if (item->data().toInt() == 1252)
                item->trigger();
        }
        QCOMPARE(table->model()->index(0, 1).data().toString(), u"Jab\u00B3ko"_s);
        QCOMPARE(h.text("codePageLabel"), u"Encoding: Western (Windows-1252)"_s);
        // No settings: the bytes tell.
        const QByteArray polish = "note_0: \"Zamkni\xEA" "te na klucz, wi\xEA" "c wr\xF3" "ci\xB3" "em\"\r\n";
        const QString alone = opened(h, u"notes.str"_s, polish);
        QVERIFY(!alone.isEmpty());
        QCOMPARE(table->model()->index(0, 1).data().toString(), u"Zamkni\u0119te na klucz, wi\u0119c wr\u00F3ci\u0142em"_s);
    }

    // Undo across a code page the file was read again in takes the code page
    // back with it: the tab shows what will be written, and it is saved.
    void undoAcrossACodePageChange()
    {
        Harness h;
        QDir(h.dir.path()).mkpath(u"books/polish"_s);
        const QString book = h.path(u"books/polish/Dziennik.str"_s);
        Testing::writeAll(book, "Page_0:\"Jab\xB3ko\"\r\n");
        QVERIFY(h.window().openFile(book));
        h.run(u"Page+=\u017B\u00F3\u0142w|!Apage"_s);
        h.prompts.setNextAnswer(Prompts::Button::Reload);
        for (QAction *item : h.window().encodingMenu->actions()) {
            if (item->data().toInt() == 1252)
                item->trigger();
        }
        QCOMPARE(h.text("Bptxt"), u"Page_0:\"Jab\u00B3ko\"\n"_s);
        QCOMPARE(h.text("codePageLabel"), u"Encoding: Western (Windows-1252)"_s);
        pressUndo(h);
        QCOMPARE(h.text("Bptxt"), u"Page_0:\"Jab\u0142ko\"\nPage_1:\"\u017B\u00F3\u0142w\"\n"_s);
        QCOMPARE(h.text("codePageLabel"), u"Encoding: Central European (Windows-1250)"_s);
        pressSave(h);
        QCOMPARE(readAll(book), "Page_0:\"Jab\xB3ko\"\r\nPage_1:\"\xAF\xF3\xB3w\"\r\n");
        QCOMPARE(h.prompts.messages.size(), 1);   // the question only
    }

    // After a draft is restored, Save All saves the campaign tables, which
    // count as saved then: closing asks nothing.
    void aRestoredDraftIsSavedBySaveAll()
    {
        Harness h;
        h.window().Tab1->setCurrentWidget(h.find("TitlesTab"));
        h.click("titlesCampaign");
        h.click("addTitle");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        Harness again;
        again.window().restoreDraft(h.window().draftState());
        QVERIFY(!again.closeQuestion().isEmpty());
        again.prompts.setNextPath(again.path(u"Titles.str"_s));
        again.window().saveAllAction->trigger();
        QCOMPARE(again.prompts.suggestedNames, QStringList{u"Titles.str"_s});
        QCOMPARE(readAll(again.path(u"Titles.str"_s)), "// Objectives screen text.\r\ntitle_1: \"\"\r\n"
                                                        "// Save game dialog text.\r\nshort_1: \"\"\r\n");
        QCOMPARE(again.closeQuestion(), QString());
    }

    // The real save dialog "cd1", answered as the author answers it: the
    // tab's own button proposes goals.str each time, whatever was chosen before.
    void theRealDialogProposesTheSuggestedNameAgain()
    {
        Harness h(Harness::RealDialogs);
        h.run(u"Gfict=f|Gtxt=t|!Agoal"_s);
        QStringList proposed;
        const auto answer = [&proposed](const QString &name) {
            onNextModal([&proposed, name](QWidget *modal) {
                auto *edit = modal->findChild<QLineEdit *>(u"fileNameEdit"_s);
                QVERIFY(modal->objectName() == u"cd1"_s && edit);
                proposed.append(edit->text());
                if (name.isEmpty()) {
                    qobject_cast<QDialog *>(modal)->reject();
                    return;
                }
                edit->setText(name);
                QTest::keyClick(edit, Qt::Key_Return);
            });
        };
        answer(h.path(u"g1.str"_s));
        h.click("Sgoals");
        QCOMPARE(readAll(h.path(u"g1.str"_s)), "fiction_0:\"f\"\r\ntext_0:\"t\"\r\n");
        answer({});
        h.click("Sgoals");
        QCOMPARE(proposed, (QStringList{u"goals.str"_s, u"goals.str"_s}));
    }
};

QTEST_MAIN(TestTabFiles)
#include "tst_tabfiles.moc"
