#pragma once

#include "core/mission/find.h"
#include "core/mission/replacement.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <chrono>
#include <functional>

class BackgroundJob;
class MissionPanel;
class MissionWorkspace;
class Prompts;
class QUndoCommand;
class WorkProgress;
class WorkspaceDocument;

// Replace All in the mission panel, Undo Replace and Save Replaced Files.
//
// The matches are looked for and replaced off the GUI thread, in the texts
// the workspace holds (a file's unsaved changes included); the author is
// asked first, with each file's count. Each file changed gets one step of
// its undo, made file by file while the window goes on (a dialog with Cancel
// once it takes a while). Nothing is written until the replaced files are
// saved, with the workspace's checks: a file changed outside meanwhile is
// merged, never overwritten. Undo Replace gives back, in each file, the
// original text wherever the replacement still stands, as one step of that
// file's undo, so that what was typed since stays; what it says is what it
// did.
class MissionReplace : public QObject
{
    Q_OBJECT

public:
    MissionReplace(MissionWorkspace &workspace, Prompts &prompts, WorkProgress &progress, QObject *parent = nullptr);
    ~MissionReplace() override;

    // The panel whose buttons it answers and whose labels it writes.
    void setPanel(MissionPanel *panel);

    // Lays what the views of `documents` hold and their documents do not
    // yet into them (each a step of undo), before the texts are replaced:
    // true when anything was laid; `refused` names the files whose view
    // refused its changes. Set by the window.
    std::function<bool(const QList<WorkspaceDocument *> &documents, QStringList *refused)> layViews;
    // Whether another view (a tab, the translation window) tells of a
    // document's unsaved changes itself. Set by the window.
    std::function<bool(const WorkspaceDocument *document)> toldElsewhere;

    // Looking for what to replace, or replacing.
    bool isReplacing() const;
    // How long the search may take before it is stopped (10 s).
    void setTimeLimit(std::chrono::milliseconds limit);

    // The replacements not saved in files no other view tells of, for the
    // question before closing.
    QStringList unsavedWork() const;

public Q_SLOTS:
    void replaceAll();
    void undoReplace();
    void saveReplaced();
    // The panel shows the replacements not yet saved (after reading the folder again, say).
    void showPending();

private:
    struct Record {
        QPointer<WorkspaceDocument> document;
        QList<Replacement::Text> texts;
        int matches = 0;
        const QUndoCommand *step = nullptr;   // the step of the document's undo
        int stepIndex = 0;
        QByteArray disk;                      // the bytes on the disk when it was made
    };
    struct Counts {
        int files = 0;
        int matches = 0;
    };
    void apply(const MissionFolder::Scan &scan, const QHash<int, quint64> &generations,
               const Replacement::Found &found, const QString &pattern, const QString &replacement,
               const MissionFolder::FindOptions &options);
    bool inEffect(const Record &record) const;
    Counts standing() const;
    QString pendingSummary() const;

    MissionWorkspace &m_workspace;
    Prompts &m_prompts;
    WorkProgress &m_progress;
    QPointer<MissionPanel> m_panel;
    BackgroundJob *m_finder = nullptr;
    bool m_applying = false;
    bool m_afterReading = false;   // asked while the folder was read: made once it is
    QList<Record> m_records;   // the last Replace All
    QString m_step;            // its step of undo: Replace "a" with "b"
    QString m_summary;         // what the panel's label said of it last
};
