#pragma once

#include <QJsonObject>
#include <QMainWindow>
#include <QVariantMap>

#include <memory>

#include "core/save/drafts.h"
#include "gui/fileopener.h"
#include "gui/tabs/editorpage.h"
#include "gui/tabs/tabfiles.h"
#include "gui/translationhost.h"
#include "gui/windowdrafts.h"

class AboutPage;
class BookPage;
class DiskWatch;
class DraftFile;
class EditorPage;
class EncodingMenu;
class FileOpener;
class GoalsPage;
class MissflagPage;
class MissionPanel;
class MissionReplace;
class MissionWorkspace;
class NewgamePage;
class Prompts;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSessionManager;
class ReviewChanges;
class SaveReport;
class SourceDock;
class QTabWidget;
class SaveFlow;
class SpellingHighlighter;
class SpellingSetup;
class StringsPage;
class TabFiles;
class TitlesPage;
class TranslationHost;
class TranslationWindow;
class WindowDrafts;
class WindowNames;
class WorkspaceDocument;
namespace Spelling {
class Service;
}

// The main window: the tabs, the menus, the "Close" button and the mission
// panel. Its jobs stand in classes of their own: the tabs' files and their
// saving (TabFiles), opening files (FileOpener), drafts (WindowDrafts),
// spelling (SpellingSetup), Replace All (MissionReplace) and the disk (DiskWatch).
class Qwr : public QMainWindow
{
    Q_OBJECT

public:
    // `prompts` replaces the real dialogs (tests); by default the window uses
    // QtPrompts, whose save dialog "cd1" is made when first needed.
    explicit Qwr(Prompts *prompts = nullptr, QWidget *parent = nullptr);
    ~Qwr() override;

    // Captions, centring, start-up values; shows the window.
    void Form_Load();

    // The tab pages that edit a file, in tab order.
    QList<EditorPage *> editorPages() const { return m_tabFiles->shownPages(); }

    // Reads `path` back into the tab of its kind (FileOpener::openFile).
    bool openFile(const QString &path) { return m_opener->openFile(path); }
    // A folder opens as a mission, a file in its tab.
    bool openPath(const QString &path) { return m_opener->openPath(path); }
    // Reads `folder` into the mission panel, which appears the first time.
    void openFolder(const QString &folder);
    // The mission open (or being read) in the translation window, from
    // `source` into `target` when they are given.
    void translateMission(const QString &source = {}, const QString &target = {})
    {
        m_translation->translateMission(source, target);
    }

    // File › Save: the current tab's file in place (a new one through the
    // save dialog, which binds the tab to it); `ask`: File › Save As….
    bool saveCurrent(bool ask = false) { return m_tabFiles->saveCurrent(ask); }
    // File › Save All: every tab with unsaved work, then every other file
    // of the workspace changed (replacements, translations).
    bool saveAll();
    // Replace All looks for what to replace (off the GUI thread).
    bool isReplacing() const;
    // Replace All, Undo Replace and Save Replaced Files of the mission panel.
    MissionReplace *missionReplace() const { return m_replace; }
    // The file the tab edits (one of no file when nothing was opened into it).
    WorkspaceDocument *documentOf(EditorPage *page) const { return m_tabFiles->documentOf(page); }

    // Drafts (WindowDrafts): kept in `file` a pause after each change.
    void enableDrafts(std::unique_ptr<DraftFile> file) { m_drafts->enable(std::move(file)); }
    QJsonObject draftState() const { return Drafts::toJson(m_drafts->values()); }
    QVariantMap draftValues() const { return m_drafts->values(); }
    void restoreDraft(const QJsonObject &draft) { m_drafts->restore(draft); }
    void draftSoon() { m_drafts->soon(); }
    void writeDraftNow() { m_drafts->now(); }
    bool isDrafting() const { return m_drafts->isDrafting(); }

    // The window's parts, for its helpers.
    Prompts &prompts() const { return *m_prompts; }
    SaveFlow &saveFlow() const { return *m_saveFlow; }
    TabFiles &tabFiles() const { return *m_tabFiles; }
    // Asks before `work` is lost, ending the question with `action` ("Close
    // Quillwright"); true when it may go.
    bool mayDiscard(const QStringList &work, const QString &action) { return m_tabFiles->mayDiscard(work, action); }
    // Shows or takes away the tab of string tables.
    void showStringsTab(bool shown) { m_tabFiles->showStringsTab(shown); }
    // New files are written in `codePage` from now on; typed text stays.
    void useCodePage(int codePage);
    // The translation window, made once.
    TranslationWindow &translationWindow() { return m_translation->window(); }

    QString VersionText;   // "2.2": shown in the About texts

    QMenu *MyMNU = nullptr;
    QAction *abtme = nullptr;
    QAction *qtnow = nullptr;
    QAction *openAction = nullptr;
    QAction *openFolderAction = nullptr;   // "Open Mission Folder…"
    QAction *findAction = nullptr;         // find in the mission, once a folder is open
    MissionPanel *missionPanel = nullptr;  // made when a folder is first opened
    QAction *translateAction = nullptr;    // "Translate Mission…", once a folder is open
    TranslationWindow *translation = nullptr;
    QAction *saveAction = nullptr;         // "Save", Ctrl+S
    QAction *saveAsAction = nullptr;       // "Save As…"
    QAction *saveAllAction = nullptr;      // "Save All"
    QAction *reviewChangesAction = nullptr;   // "Review Changes…": every unsaved file's diff
    QMenu *viewMenu = nullptr;
    QAction *sourceAction = nullptr;       // View › "Source", Ctrl+U: the source view beside the form
    SourceDock *sourceDock = nullptr;
    QMenu *editMenu = nullptr;
    QAction *undoAction = nullptr;         // the current tab's file's last step
    QAction *redoAction = nullptr;
    MissionWorkspace *workspace = nullptr;  // every file held, once
    Spelling::Service *spelling = nullptr;   // the dictionaries of the languages typed in
    SpellingHighlighter *pageSpelling = nullptr;   // over the Books tab's Page box
    QMenu *missionLanguageMenu = nullptr;          // the mission's spelling language, once a folder is open
    QAction *dictionaryFolderAction = nullptr;     // "Dictionary Folder…": searched before the system's
    QMenu *recentMenu = nullptr;
    QMenu *encodingMenu = nullptr;     // one checkable item per code page
    QLabel *codePageLabel = nullptr;   // the code page the current tab's file is written in
    QTabWidget *Tab1 = nullptr;
    QPushButton *Command1 = nullptr;
    BookPage *books = nullptr;
    GoalsPage *goals = nullptr;
    NewgamePage *newgame = nullptr;
    MissflagPage *missflag = nullptr;
    TitlesPage *titles = nullptr;
    AboutPage *about = nullptr;
    StringsPage *strings = nullptr;   // a tab only while a string table is open

public Q_SLOTS:
    void abtme_Click();
    void qtnow_Click();
    void Command1_Click();
    void openFromDialog() { m_opener->openFromDialog(); }
    void openFolderFromDialog() { m_opener->openFolderFromDialog(); }

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override { m_opener->dragEnter(event); }
    void dropEvent(QDropEvent *event) override { m_opener->drop(event); }

private:
    void createActions();
    void createMenus();
    bool mayDiscardUnsavedWork();
    // The Save actions and the code page shown follow the current tab's file.
    void currentFileChanged();
    void updateModified() { m_tabFiles->updateMarks(); }
    // Whether the tab holds changes not yet laid into its file.
    bool pageEdited(EditorPage *page) const { return page->holdsUnlaid(); }
    // The tab's changes laid into its file as one step of undo (refused: told, false).
    bool layIntoDocument(EditorPage *page) { return m_tabFiles->lay(page); }
    // Makes Replace All, the watching of the disk and the progress of long
    // saves, and tells them of the tabs.
    void makeMissionWork();
    // Logging out or shutting down asks the same question.
    void commitData(QSessionManager &manager);
    // The source view, Review Changes, the report of a save and the window's names.
    void makeSourceWork();
    void reviewChanges();

    std::unique_ptr<Prompts> m_ownPrompts;
    Prompts *m_prompts = nullptr;
    std::unique_ptr<SaveFlow> m_saveFlow;
    TabFiles *m_tabFiles = nullptr;
    FileOpener *m_opener = nullptr;
    WindowDrafts *m_drafts = nullptr;
    SpellingSetup *m_spelling = nullptr;
    EncodingMenu *m_encoding = nullptr;
    TranslationHost *m_translation = nullptr;
    MissionReplace *m_replace = nullptr;   // Replace All in the mission panel
    DiskWatch *m_diskWatch = nullptr;      // the mission's folders, files changed outside
    WindowNames *m_names = nullptr;        // the title and the path of the Books and Goals tabs' files
    SaveReport *m_saveReport = nullptr;    // the files and lines Save All wrote
};
