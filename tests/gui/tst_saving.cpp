// Saving as an author saves: File › Save in place, Save All, the dialog of
// an opened file, a replacement seen and kept by the tab that shows its
// file, undo from the Edit menu, and what a draft keeps of the mission.
#include "core/save/drafts.h"
#include "core/mission/spelling/spelling.h"
#include "core/mission/workspace.h"
#include "gui/tabs/editorpage.h"
#include "gui/mission/missionpanel.h"
#include "gui/spellinghighlighter.h"
#include "support/harness.h"
#include "support/testing.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QTextBlock>
#include <QTextLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QSignalSpy>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace Qt::StringLiterals;

namespace {

const QByteArray Diary = "// Book Location - Tower\r\nPage_0:\"It was dark.\"\r\nPage_1:\"The door was locked.\"\r\n";
const QByteArray Goals = "fiction_0:\"Open the door\"\r\ntext_0:\"Quietly\"\r\n";

QString makeMission(Harness &h)
{
    const QString root = h.path(u"mission"_s);
    for (const auto &[name, bytes] : QList<std::pair<QString, QByteArray>>{
             {u"books/english/Diary.str"_s, Diary}, {u"intrface/miss01/english/goals.str"_s, Goals}}) {
        QDir(root).mkpath(QFileInfo(name).path());
        Testing::writeAll(QDir(root).filePath(name), bytes);
    }
    return root;
}

MissionPanel *openMission(Harness &h, const QString &root)
{
    h.window().openFolder(root);
    auto *panel = h.window().missionPanel;
    const bool read = panel && QTest::qWaitFor([panel] { return !panel->isReading(); }, 30000);
    return read ? panel : nullptr;
}

// The mission at `root` open in the panel, and its `book` in its tab.
MissionPanel *openMissionAndBook(Harness &h, const QString &root, const QString &book)
{
    MissionPanel *panel = openMission(h, root);
    return panel && h.window().openFile(book) ? panel : nullptr;
}

void replace(Harness &h, MissionPanel *panel, const QString &what, const QString &with)
{
    panel->findText->setText(what);
    panel->replaceText->setText(with);
    h.prompts.setNextAnswer(Prompts::Button::Yes);
    panel->replaceButton->click();
    QVERIFY(QTest::qWaitFor([&h] { return !h.window().isReplacing(); }, 30000));
}

} // namespace

class TestSaving : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A misspelt word in the Page box is underlined as it shows; the
    // suggestion chosen from its menu replaces it, and the book is saved
    // with the word corrected, every other byte as it was.
    void correctsASpellingFromTheMenu()
    {
        Harness h;
        QTemporaryDir dictionaries;
        Testing::writeAll(dictionaries.filePath(u"en_US.aff"_s), "SET UTF-8\nTRY eoalkdrstcw\n");
        Testing::writeAll(dictionaries.filePath(u"en_US.dic"_s), "7\nit\nwas\ndark\nthe\ndoor\nlocked\nopen\n");
        QVERIFY(QDir(h.dir.path()).mkpath(u"books/english"_s));
        const QString path = h.path(u"books/english/Diary.str"_s);
        Testing::writeAll(path, QByteArray(Diary).replace("locked", "lokced"));
        QVERIFY(h.window().openFile(path));
        h.run(u"!Command2"_s);
        QPlainTextEdit *page = h.find<QPlainTextEdit>("Page");
        // Marks coming and going are no typing: drafts and unsaved marks hear none.
        QSignalSpy typed(page, &QPlainTextEdit::textChanged);
        h.prompts.setNextPath(dictionaries.path());   // the dictionary folder, chosen from the Edit menu
        h.window().dictionaryFolderAction->trigger();
        const qsizetype at = page->toPlainText().indexOf(u"lokced"_s);
        QVERIFY(at > 0);
        const auto underlined = [&](qsizetype start) {
            const QTextBlock block = page->document()->findBlock(static_cast<int>(start));
            for (const QTextLayout::FormatRange &range : block.layout()->formats()) {
                if (range.start == start - block.position() && range.length == 6
                    && range.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline)
                    return true;
            }
            return false;
        };
        QTRY_VERIFY(underlined(at));
        QCOMPARE(typed.count(), 0);
        QVERIFY(!underlined(page->toPlainText().indexOf(u"door"_s)));
        QTextCursor cursor(page->document());
        cursor.setPosition(static_cast<int>(at) + 2);
        const std::unique_ptr<QMenu> menu(h.window().pageSpelling->contextMenu(page->cursorRect(cursor).center()));
        QAction *suggestion = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text() == u"locked")
                suggestion = action;
        }
        QVERIFY(suggestion);
        suggestion->trigger();
        QCOMPARE(page->toPlainText().indexOf(u"lokced"_s), -1);
        QTRY_VERIFY(!underlined(at));
        h.run(u"!ApPage"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path), Diary);
    }

    // Ctrl+S writes the opened file where it is, with no dialog, every other
    // byte as it was; the window and the tab show unsaved work until then.
    void savesAnOpenedFileInPlace()
    {
        Harness h;
        const QString path = h.path(u"Diary.str"_s);
        Testing::writeAll(path, Diary);
        QVERIFY(h.window().openFile(path));
        QVERIFY(!h.window().isWindowModified());
        h.run(u"!Command2|Page=Page_1:\"The door was open.\"|!ApPage"_s);
        QTRY_VERIFY(h.window().isWindowModified());
        QCOMPARE(h.window().Tab1->tabText(0), u"Books *"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(path), QByteArray(Diary).replace("locked", "open"));
        QCOMPARE(h.prompts.suggestedNames, QStringList());
        QVERIFY(!h.window().isWindowModified());
        QCOMPARE(h.window().Tab1->tabText(0), u"Books"_s);
        // A new book has no path yet: Save asks, as the tab's button does.
        h.click("Rsetme");
        h.run(Testing::TwoPageSteps);
        h.prompts.setNextPath(h.path(u"New.str"_s));
        h.window().saveAction->trigger();
        QCOMPARE(h.prompts.suggestedNames, QStringList{u"Diary.str"_s});
        QCOMPARE(Testing::readAll(h.path(u"New.str"_s)), Testing::TwoPages);
    }

    // The tab's own button keeps its dialog, which starts at the opened file
    // under its own name: an opened MISSFLAG.STR is proposed as itself.
    void theDialogOfAnOpenedMissflagFile()
    {
        Harness h;
        const QString path = h.path(u"strings/MISSFLAG.STR"_s);
        QDir(h.dir.path()).mkpath(u"strings"_s);
        const QByteArray flags = Testing::MissflagHeader + "miss_1: \"skip\"\r\nmiss_2: \"no_briefing, no_loadout, end\"\r\n";
        Testing::writeAll(path, flags);
        QVERIFY(h.window().openFile(path));
        QCOMPARE(h.window().Tab1->currentWidget()->objectName(), u"MissflagTab"_s);
        h.prompts.setNextPath(path);
        h.click("Cmf");
        QCOMPARE(h.prompts.suggestedNames, QStringList{path});
        QCOMPARE(Testing::readAll(path), flags);
        QCOMPARE(QDir(h.path(u"strings"_s)).entryList(QDir::Files), QStringList{u"MISSFLAG.STR"_s});   // no second file
    }

    // A replacement in a file open in a tab shows there at once; the tab's
    // own correction after it is part of the file at once, and saved keeps
    // the replacement.
    void aReplacementIsKeptByTheTab()
    {
        Harness h;
        const QString root = makeMission(h);
        const QString book = QDir(root).filePath(u"books/english/Diary.str"_s);
        MissionPanel *panel = openMissionAndBook(h, root, book);
        QVERIFY(panel);
        replace(h, panel, u"door"_s, u"gate"_s);
        QVERIFY2(h.text("Bptxt").contains(u"The gate was locked."_s), qPrintable(h.text("Bptxt")));
        QCOMPARE(Testing::readAll(book), Diary);
        h.run(u"!Command2|Page=Page_1:\"The gate was open.\"|!ApPage"_s);
        panel->saveReplaced->click();
        QCOMPARE(Testing::readAll(book), QByteArray(Diary).replace("door was locked", "gate was open"));
        // The tab's correction went into the file saved: the tab is saved too.
        QTRY_VERIFY(!h.window().isWindowModified());
        QCOMPARE(h.window().Tab1->tabText(0), u"Books"_s);
        QCOMPARE(h.closeQuestion(), QString());
        h.window().saveAction->trigger();
        QCOMPARE(Testing::readAll(book), QByteArray(Diary).replace("door was locked", "gate was open"));
        QVERIFY(!h.window().isWindowModified());
    }

    // A page added or a goal stored with the tab's buttons is at once a step
    // of undo of the file the tab edits; Edit › Undo takes it back, and the
    // tab shows the file without it.
    void anEntryStoredIsAStepOfUndo()
    {
        Harness h;
        const QString root = makeMission(h);
        const QString book = QDir(root).filePath(u"books/english/Diary.str"_s);
        QVERIFY(h.window().openFile(book));
        const WorkspaceDocument *document = h.window().documentOf(h.find<EditorPage>("BooksTab"));
        QVERIFY(document);
        h.run(u"Page=The well was dry.|!Apage"_s);
        QVERIFY(document->isModified());
        QVERIFY(h.window().undoAction->isEnabled());
        h.window().undoAction->trigger();
        QVERIFY(!document->isModified());
        QVERIFY2(!h.text("Bptxt").contains(u"well"_s), qPrintable(h.text("Bptxt")));
        QCOMPARE(h.text("Label11"), u"Pages = 2"_s);
        h.run(u"Page=The gate was open.|!Apage"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(book), Diary + "Page_2:\"The gate was open.\"\r\n");

        const QString goals = QDir(root).filePath(u"intrface/miss01/english/goals.str"_s);
        QVERIFY(h.window().openFile(goals));
        h.run(u"!Edit|Goaltxt=fiction_0:\"Close the door\"\ntext_0:\"Quietly\"|!EGoal"_s);
        QVERIFY(h.text("Goaltxt").contains(u"Close the door"_s));
        QVERIFY(h.window().documentOf(h.find<EditorPage>("GoalsTab"))->isModified());
        h.window().undoAction->trigger();
        QVERIFY2(h.text("Goaltxt").contains(u"Open the door"_s), qPrintable(h.text("Goaltxt")));
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(goals), Goals);
        QCOMPARE(h.closeQuestion(), QString());
    }

    // Replace All in a file whose tab holds changes not yet part of it lays
    // them in first, then replaces: nothing is refused, nothing lost, and
    // each is a step of undo.
    void replacesInATabsChanges()
    {
        Harness h;
        const QString root = makeMission(h);
        const QString book = QDir(root).filePath(u"books/english/Diary.str"_s);
        MissionPanel *panel = openMissionAndBook(h, root, book);
        QVERIFY(panel);
        h.run(u"ComOpt=Cellar"_s);
        replace(h, panel, u"door"_s, u"gate"_s);
        QVERIFY2(h.lastMessage().text.startsWith(u"Replace 2 matches"_s), qPrintable(h.lastMessage().text));
        QCOMPARE(h.text("ComOpt"), u"Cellar"_s);
        QVERIFY2(h.text("Bptxt").contains(u"The gate was locked."_s), qPrintable(h.text("Bptxt")));
        QTest::keySequence(&h.window(), QKeySequence::Save);
        const QByteArray both = QByteArray(Diary).replace("door", "gate").replace("Tower", "Cellar");
        QCOMPARE(Testing::readAll(book), both);
        h.window().undoAction->trigger();   // the replacement
        h.window().undoAction->trigger();   // the location laid in
        QCOMPARE(h.text("ComOpt"), u"Tower"_s);
        QTest::keySequence(&h.window(), QKeySequence::Save);
        QCOMPARE(Testing::readAll(book), Diary);
    }

    // Edit › Undo takes a replacement back in the tab's file; Redo brings it
    // again; Save All writes every file changed, each in place.
    void undoAndSaveAll()
    {
        Harness h;
        const QString root = makeMission(h);
        const QString book = QDir(root).filePath(u"books/english/Diary.str"_s);
        MissionPanel *panel = openMissionAndBook(h, root, book);
        QVERIFY(panel);
        replace(h, panel, u"door"_s, u"gate"_s);
        QVERIFY(h.window().undoAction->isEnabled());
        h.window().undoAction->trigger();
        QVERIFY2(h.text("Bptxt").contains(u"The door was locked."_s), qPrintable(h.text("Bptxt")));
        h.window().redoAction->trigger();
        QVERIFY(h.text("Bptxt").contains(u"The gate was locked."_s));
        h.window().saveAllAction->trigger();
        QCOMPARE(Testing::readAll(book), QByteArray(Diary).replace("door", "gate"));
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"intrface/miss01/english/goals.str"_s)),
                 QByteArray(Goals).replace("door", "gate"));
        QCOMPARE(h.prompts.suggestedNames, QStringList());
        QVERIFY(!h.window().isWindowModified());
    }

    // A file of the mission that is a link out of it is not written through
    // the link by Save All: the message says where it leads, the file it
    // leads to stays as it was, and the change stays unsaved.
    void refusesALinkOutOfTheMission()
    {
#ifndef Q_OS_UNIX
        QSKIP("The test makes its symbolic link the Unix way; Windows has no such link to make here.");
#endif
        Harness h;
        const QString root = makeMission(h);
        const QString outside = h.path(u"elsewhere.str"_s);
        Testing::writeAll(outside, Diary);
        const QString book = QDir(root).filePath(u"books/english/Diary.str"_s);
        QVERIFY(QFile::remove(book) && QFile::link(outside, book));
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        replace(h, panel, u"door"_s, u"gate"_s);
        h.window().saveAllAction->trigger();
        QVERIFY2(h.lastMessage().text.contains(u"outside the mission's folder"_s), qPrintable(h.lastMessage().text));
        QCOMPARE(Testing::readAll(outside), Diary);
        QVERIFY(QFileInfo(book).isSymLink());
        QVERIFY(h.window().isWindowModified());
    }

    // A crash keeps the replacements: the draft holds the changed files and
    // names them; restored, they are unsaved changes, saved by Save All.
    void aDraftKeepsTheReplacements()
    {
        Harness h;
        const QString root = makeMission(h);
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        replace(h, panel, u"door"_s, u"gate"_s);
        const QJsonObject draft = h.window().draftState();
        QVERIFY2(Drafts::describe(draft).contains(u"changes to Diary.str, goals.str"_s), qPrintable(Drafts::describe(draft)));

        Harness again;
        again.window().restoreDraft(draft);
        QVERIFY(again.window().isWindowModified());
        again.window().saveAllAction->trigger();
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"intrface/miss01/english/goals.str"_s)),
                 QByteArray(Goals).replace("door", "gate"));
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"books/english/Diary.str"_s)), QByteArray(Diary).replace("door", "gate"));
    }

    // The mission's code page changed: the files held are read again in it,
    // the tab showing one too; a file with unsaved changes is asked about,
    // and kept as it is by default.
    void aCodePageChangeReadsTheFilesAgain()
    {
        Harness h;
        const QString root = makeMission(h);
        const QString book = QDir(root).filePath(u"books/english/Diary.str"_s);
        Testing::writeAll(book, "Page_0:\"Bada\xB3" "em drzwi wie\xBF" "y.\"\r\nPage_1:\"Zamkni\xEA" "te na klucz, wi\xEA" "c wr\xF3" "ci\xB3" "em i czeka\xB3" "em a\xBF \x9C" "wit przyjdzie.\"\r\n");
        MissionPanel *panel = openMission(h, root);
        QVERIFY(panel);
        QVERIFY(h.window().openFile(book));
        QVERIFY2(h.text("Bptxt").contains(u"Bada\u0142em"_s), qPrintable(h.text("Bptxt")));
        replace(h, panel, u"Quietly"_s, u"Softly"_s);   // goals.str: unsaved now
        const int asked = static_cast<int>(h.prompts.messages.size());
        QVERIFY(panel->setMissionCodePage(1252));
        QTRY_VERIFY(!panel->isReading());
        QTRY_VERIFY2(h.text("Bptxt").contains(u"Bada\u00B3em"_s), qPrintable(h.text("Bptxt")));
        QCOMPARE(h.prompts.messages.size(), asked + 1);
        QVERIFY(h.prompts.lastMessage().text.contains(u"goals.str holds changes you have not saved"_s));
        h.window().saveAllAction->trigger();
        QCOMPARE(Testing::readAll(QDir(root).filePath(u"intrface/miss01/english/goals.str"_s)),
                 QByteArray(Goals).replace("Quietly", "Softly"));
    }

#ifdef Q_OS_UNIX
    // An open file replaced by a named pipe never freezes the window: it is
    // read off the GUI thread through the safe open, which does not wait.
    void aFileReplacedByAPipe()
    {
        Harness h;
        const QString path = h.path(u"Diary.str"_s);
        Testing::writeAll(path, Diary);
        QVERIFY(h.window().openFile(path));
        QVERIFY(QFile::remove(path));
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(1500);
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(h.prompts.messages.size(), 0);
        QVERIFY(h.text("Bptxt").contains(u"It was dark."_s));
    }
#endif
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
