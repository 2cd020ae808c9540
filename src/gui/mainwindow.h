#pragma once

#include <QHash>
#include <QJsonObject>
#include <QMainWindow>
#include <QPointer>
#include <QVariantMap>

#include <memory>

class AboutPage;
class DiskWatch;
class MissionReplace;
class DraftFile;
class DraftWriter;
class QTimer;
class BookPage;
class EditorPage;
class GoalsPage;
class MissflagPage;
class MissionPanel;
class MissionWorkspace;
class SpellingHighlighter;
namespace Spelling {
class Service;
}
class WorkspaceDocument;
class NewgamePage;
class Prompts;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSessionManager;
class QTabWidget;
class SaveFlow;
class StringsPage;
class TitlesPage;
class TranslationWindow;

// The main window: six tabs, the "File" menu and the "Close" button.
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
    QList<EditorPage *> editorPages() const;

    // Reads `path` back into the tab of its kind, after saying what cannot be
    // kept and asking about that tab's unsaved work. True when it was opened.
    bool openFile(const QString &path);
    // A folder opens as a mission, a file in its tab.
    bool openPath(const QString &path);
    // Reads `folder` into the mission panel, which appears the first time.
    void openFolder(const QString &folder);
    // The mission open (or being read) in the translation window, from
    // `source` into `target` when they are given.
    void translateMission(const QString &source = {}, const QString &target = {});

    // File › Save: the current tab's file in place (a new one through the
    // save dialog); `ask`: File › Save As…, always through the dialog.
    bool saveCurrent(bool ask = false);
    // File › Save All: every tab with unsaved work, then every other file
    // of the workspace changed (replacements, translations).
    bool saveAll();
    // Replace All looks for what to replace (off the GUI thread), or replaces.
    bool isReplacing() const;
    // Replace All, Undo Replace and Save Replaced Files of the mission panel.
    MissionReplace *missionReplace() const { return m_replace; }
    // The file the tab edits, when it was opened or saved.
    WorkspaceDocument *documentOf(EditorPage *page) const;

    // Keeps the editing state in `file`, a few seconds after each change,
    // until the window closes cleanly and removes it.
    void enableDrafts(std::unique_ptr<DraftFile> file);
    // The whole editing state, as a draft holds it.
    QJsonObject draftState() const;
    // The same, its texts shared with the pages rather than copied, for
    // the draft writer to put into JSON on its own thread.
    QVariantMap draftValues() const;
    // Puts back a draft: every tab, the selected tab and the code page.
    void restoreDraft(const QJsonObject &draft);
    // The draft written after the pause in typing that follows a change.
    void draftSoon();
    // Writes the draft now rather than after the pause (tests, benchmarks).
    void writeDraftNow();
    bool isDrafting() const { return m_drafts != nullptr; }

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
    QMenu *editMenu = nullptr;
    QAction *undoAction = nullptr;         // the current tab's file, or the mission's last replacement
    QAction *redoAction = nullptr;
    MissionWorkspace *workspace = nullptr;  // every file held, once
    Spelling::Service *spelling = nullptr;   // the dictionaries of the languages typed in
    SpellingHighlighter *pageSpelling = nullptr;   // over the Books tab's Page box
    QMenu *missionLanguageMenu = nullptr;          // the mission's spelling language, once a folder is open
    QAction *dictionaryFolderAction = nullptr;     // "Dictionary Folder…": searched before the system's
    QMenu *recentMenu = nullptr;
    QMenu *encodingMenu = nullptr;     // one checkable item per code page
    QLabel *codePageLabel = nullptr;   // the code page in use, beside the menus
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
    void openFromDialog();
    void openFolderFromDialog();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // Asks before `work` is lost, ending the question with `action` ("Close
    // Quillwright"); true when it may go.
    bool mayDiscard(const QStringList &work, const QString &action);
    bool mayDiscardUnsavedWork();
    void showRecentFiles();
    // `askUnsaved`: ask before the tab's unsaved work is lost (not when the
    // author has just chosen to reload); read in `codePage`.
    bool openFile(const QString &path, bool askUnsaved, int codePage);
    // Shows the mission panel, the window made wider for it within the screen.
    void showMissionPanel();
    // A file of the mission panel opened in its tab, at `entry` when it is one.
    void openMissionFile(int file, int entry);
    // The tab edits `document` (nothing: a new file); it shows every change
    // made to it elsewhere (a replacement, undo).
    void bindPage(EditorPage *page, WorkspaceDocument *document);
    // The tab shows its file as the workspace holds it now.
    void showDocument(EditorPage *page);
    // The tab's changes laid into the document of its file, as one step of
    // undo, through the tab's own save (checked as saving checks them),
    // nothing written. False when the tab's save refused them.
    bool layIntoDocument(EditorPage *page);
    // The translation window, made once.
    void makeTranslationWindow();
    // The tab's file was saved elsewhere: a tab holding nothing beyond it
    // shows it again, saved.
    void takeSaved(EditorPage *page, WorkspaceDocument *document);
    // Whether the tab holds changes not yet laid into its file.
    bool pageEdited(EditorPage *page) const;
    void currentTabChanged();
    void updateModified();
    // Makes Replace All, the watching of the disk and the progress of long
    // saves, and tells them of the tabs.
    void makeMissionWork();
    // Shows or takes away the tab of string tables.
    void showStringsTab(bool shown);
    // Files are written and read in `codePage` from now on; typed text stays.
    void useCodePage(int codePage);
    // Logging out or shutting down asks the same question.
    void commitData(QSessionManager &manager);

    std::unique_ptr<Prompts> m_ownPrompts;
    Prompts *m_prompts = nullptr;
    std::unique_ptr<SaveFlow> m_saveFlow;
    std::unique_ptr<DraftWriter> m_drafts;
    QTimer *m_draftTimer = nullptr;
    QHash<EditorPage *, QPointer<WorkspaceDocument>> m_pageFiles;   // the file each tab edits
    QHash<EditorPage *, QVariantMap> m_shown;   // each tab as it last showed its file
    bool m_wrote = false;
    QTimer *m_modifiedTimer = nullptr;
    EditorPage *m_laying = nullptr;   // the tab whose changes are laid into its file
    MissionReplace *m_replace = nullptr;   // Replace All in the mission panel
    DiskWatch *m_diskWatch = nullptr;      // the mission's folders, files changed outside
};
