#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>
#include <memory>

class BackgroundJob;
class MissionPanel;
class MissionWorkspace;
class Prompts;
class QTimer;
class WatchThread;
class WorkspaceDocument;

// The disk under the open mission: the mission's folders watched, so that a
// file added, removed or changed outside the program reads the folder again
// once the changes settle; a file the program holds changed outside asked
// about (reloaded, or merged with the unsaved changes); and the files held
// read again when the mission's code page changes.
class DiskWatch : public QObject
{
    Q_OBJECT

public:
    DiskWatch(MissionWorkspace &workspace, Prompts &prompts, QObject *parent = nullptr);
    ~DiskWatch() override;

    // The panel whose folder it watches.
    void setPanel(MissionPanel *panel);

    // Whether a view shows the document, and whether the view holds changes
    // the document does not have yet. Set by the window.
    std::function<bool(const WorkspaceDocument *document)> shown;
    std::function<bool(const WorkspaceDocument *document)> viewUnsaved;
    // Lays what the views of `documents` hold and their documents do not yet
    // into them, so that a change outside can be merged with it: true when
    // anything was laid; `refused` names the files whose view refused. Set
    // by the window.
    std::function<bool(const QList<WorkspaceDocument *> &documents, QStringList *refused)> layViews;

    // The program wrote `path`: the folder is read again, if it is the mission's.
    void fileWritten(const QString &path);

    // What a folder holds: its folders, and its .str files with their sizes and times.
    static QStringList folderSnapshot(const QString &folder);

Q_SIGNALS:
    // What the status bar says (a change outside merged).
    void announced(const QString &text);
    // `document` is read in `codePage` from now on (the mission's code page changed).
    void readAgainIn(WorkspaceDocument *document, int codePage);

private:
    void changedOnDisk(WorkspaceDocument *document, const QByteArray &bytes);
    void watchFolder();
    void readInMissionCodePages();
    WatchThread &folderWatch();

    MissionWorkspace &m_workspace;
    Prompts &m_prompts;
    QPointer<MissionPanel> m_panel;
    std::unique_ptr<WatchThread> m_watch;      // the mission's folders, watched on a thread of their own (folderWatch())
    QTimer *m_folderTimer = nullptr;           // reads the folder again once changes settle
    BackgroundJob *m_snapshots = nullptr;            // the snapshots of the folders read
    BackgroundJob *m_comparer = nullptr;             // those of the folders told of, taken again
    QHash<QString, QStringList> m_folderSnapshots;   // folderSnapshot() of each folder watched
    bool m_asking = false;                           // a question about a change outside is open
    QList<std::pair<QPointer<WorkspaceDocument>, QByteArray>> m_waiting;   // changes to ask about after it
};
