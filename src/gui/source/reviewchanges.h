#pragma once

#include "core/mission/backgroundjob.h"

#include <QDialog>
#include <QList>
#include <QPointer>

class MissionWorkspace;
class Prompts;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class WorkspaceDocument;

// File › Review Changes… (objectName "reviewChanges"): every document of the
// workspace with unsaved changes, listed with the number of lines changed,
// and the unified diff of each (its lines on the disk against those saving
// would write), one section per file, one after the other. The file chosen
// in the list (its section shown) can be reverted to the disk's bytes, as
// one step of its undo, or saved; Save All saves them all. The diffs are
// made off the window's thread, again whenever a document changes anywhere.
class ReviewChanges : public QDialog
{
    Q_OBJECT

public:
    ReviewChanges(MissionWorkspace *workspace, Prompts &prompts, QWidget *parent = nullptr);

    // Paths under `root` (the mission's folder) are shown from it.
    void setRoot(const QString &root);

    // Reverts `document` to its bytes on the disk, as one step of its undo
    // made by `origin`; after it, nothing of it is unsaved until it is undone.
    static void revert(WorkspaceDocument *document, const QObject *origin = nullptr);
    // The number of lines changed between a file's bytes and the bytes
    // written over them (`existed` false: a new file), read as the diff
    // reads them; safe off the window's thread.
    static int changedLines(const QByteArray &before, bool existed, const QByteArray &after, int codePage);
    // "2 files saved, 5 lines changed", singulars as they fall.
    static QString savedText(int files, int lines);

    // One file's part: its place in the list, the lines of its section.
    struct Section {
        QPointer<WorkspaceDocument> document;
        QString path;
        QString diff;
        int changedLines = 0;
        int firstLine = 0;   // of its section in the diff shown, from 0
    };

Q_SIGNALS:
    // Files were saved from here, with that many lines changed in all.
    void saved(int files, int changedLines);

private:
    void refreshLater();
    void refresh();
    void showSections(QList<Section> sections);
    WorkspaceDocument *chosen() const;
    void choose(int row);
    void save(const QList<WorkspaceDocument *> &documents);
    QString shownPath(const QString &path) const;

    MissionWorkspace *m_workspace;
    Prompts &m_prompts;
    QString m_root;
    BackgroundJob m_job;
    QList<Section> m_sections;   // shown
    QList<Section> m_pending;    // being compared with the disk
    QLabel *m_summary;
    QListWidget *m_files;
    QPlainTextEdit *m_diff;
    QPushButton *m_revert;
    QPushButton *m_save;
    QPushButton *m_saveAll;
    bool m_refreshing = false;
};
