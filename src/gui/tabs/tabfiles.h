#pragma once

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

class EditorPage;
class MissionWorkspace;
class Prompts;
class QTabWidget;
class QTimer;
class SaveFlow;
class WorkspaceDocument;

// The tabs' files: which document of the workspace each tab edits (one of no
// file, its kind's template, until a file is opened into it or it is saved
// under a name), and every way a tab's file is saved. Nothing here clicks a
// button or reads a file again: a save lays the tab's state into its
// document (one step of its undo, when it changes it) and writes that.
//  - The tab's own button: a file of its own is proposed under its own name
//    in its folder; a tab of no file proposes its suggested name and writes
//    a copy there, which does not bind it (the next press proposes the same).
//  - File › Save writes a file in place; a tab of no file asks, and is bound
//    to the file written. File › Save As… always asks, and binds.
//  - Save All lays every tab first, refusing before anything is written.
class TabFiles : public QObject
{
    Q_OBJECT

public:
    TabFiles(QTabWidget &tabs, const QList<EditorPage *> &pages, MissionWorkspace &workspace, SaveFlow &saveFlow,
             Prompts &prompts, QObject *parent = nullptr);

    // The file `page` edits.
    WorkspaceDocument *documentOf(const EditorPage *page) const;
    // The tab, shown or not, that edits `document`.
    EditorPage *pageOf(const WorkspaceDocument *document) const;
    // The tab pages in tab order.
    QList<EditorPage *> shownPages() const;

    // `page` edits `document` from now on, taken as `taking` says
    // (EditorPage::Taking); the document it edited before is let go of.
    void bind(EditorPage *page, WorkspaceDocument *document, int taking);
    // `page` edits a new file of no name, as it holds it now.
    void startAnew(EditorPage *page);
    // Shows or takes away the tab of string tables (before the About tab);
    // taken away, it lets go of its file.
    void showStringsTab(bool shown);
    // A page's state laid into its document as the step `label` (none when
    // nothing changes; without a label, named after the tab's typing); false
    // with the refusal told once.
    bool lay(EditorPage *page, const QString &label = {});
    // The same, silent, with a step called after what it restores.
    void layRestored(EditorPage *page);

    // The tab's own save button.
    bool saveOwn(EditorPage *page);
    // File › Save (in place; a file of no name through the dialog, then
    // bound), or with `ask` File › Save As….
    bool saveCurrent(bool ask);
    // File › Save All: every tab first, then every other file changed (the
    // translation window's with `translations`).
    bool saveAll(const std::function<bool()> &translations,
                 const std::function<bool(const WorkspaceDocument *)> &savedByTranslations = {});

    // Files of no name are written in `codePage` from now on.
    void setCodePageOfNew(int codePage);

    // The tabs' captions and the unsaved state, at once.
    void updateMarks();
    // Asks before `work` is lost, ending the question with `action` ("Close
    // Quillwright"); true when it may go.
    bool mayDiscard(const QStringList &work, const QString &action);

Q_SIGNALS:
    // Anything unsaved (tabs, files of the mission); the paths of the files
    // with unsaved changes.
    void unsavedChanged(bool anything, const QSet<QString> &files);
    // The tab shown edits another file (or none; its undo is the Edit menu's),
    // or a file held changed.
    void currentFileChanged();

private:
    void pageChanged();
    void currentTabChanged();
    bool save(EditorPage *page, bool inPlace, bool bind);
    // lay() and layRestored(): the refusal told or not.
    bool layInto(EditorPage *page, const QString &label, bool tell);
    // The label of a tab's laid typing: "Typing on the Newgame tab".
    QString typingLabel(EditorPage *page) const;
    // Lets go of a document no tab edits any more: one of no file goes; a
    // file's unsaved changes are given up (the tab asked first).
    void letGo(WorkspaceDocument *document);

    QTabWidget &m_tabs;
    QList<EditorPage *> m_pages;
    MissionWorkspace &m_workspace;
    SaveFlow &m_saveFlow;
    Prompts &m_prompts;
    QTimer *m_marks = nullptr;   // the unsaved marks, once typing pauses
};
