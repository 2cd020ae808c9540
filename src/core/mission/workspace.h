#pragma once

#include "core/document/strdocument.h"
#include "core/kinds/strreader.h"

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class Prompts;
class WatchThread;
class QThread;
class QSaveFile;
class QUndoGroup;
class QUndoStack;

// One file of the mission as the program holds it, once, whichever views
// edit it (a tab, the campaign table, find and replace, the translation
// window): its path, the code page it is read and written in, the bytes last
// read from or written to the disk, and the document with every change not
// yet saved. Each change is one step of the document's undo stack.
class WorkspaceDocument : public QObject
{
    Q_OBJECT

public:
    const QString &path() const { return m_path; }
    // A document of no file yet: what a tab edits with nothing opened.
    bool isUnnamed() const { return m_path.isEmpty(); }
    int codePage() const { return m_codePage; }
    // The bytes on the disk as the program last read or wrote them: what the
    // document's unsaved changes were made over. Empty for a file that does
    // not exist yet.
    const QByteArray &diskBytes() const { return m_disk; }
    bool existsOnDisk() const { return m_onDisk; }
    // What saving writes.
    const StrDocument &document() const { return m_document; }
    QUndoStack *undoStack() const { return m_undo; }
    bool isModified() const;
    // Counts the document's changes (a change, undo, redo, a reload): the
    // same number, the same document.
    quint64 generation() const { return m_generation; }

    // A change made by a view: `after` becomes the document, as one step of
    // undo called `description`. `origin` names the view (which then need not
    // show its own change again); undo and redo have none.
    void change(const StrDocument &after, const QString &description, const QObject *origin = nullptr);

    // The file was changed on the disk to `bytes` and the author chose:
    // reload (the document becomes the file as it is now, a step of undo);
    // merge (`merged`, the author's changes laid over the file as it is now,
    // becomes the document, a step of undo called `description`, unsaved);
    // or keep the document as it is (unsaved: saving it asks again, so that
    // the change outside is never written over unseen).
    void reload(const QByteArray &bytes);
    void mergeFromDisk(const QByteArray &bytes, const StrDocument &merged, const QString &description);
    void keepAfterDiskChange(const QByteArray &bytes);
    // Written in `codePage` from now on, what it holds as it is.
    void setCodePage(int codePage) { m_codePage = codePage; }
    // The file read again in `codePage` (the mission's, or the one chosen in
    // the Encoding menu), as a step of undo that takes the code page back
    // with it; its unsaved changes are given up. A document of no file is
    // written in it from now on.
    void readAgainIn(int codePage);
    // Marked saved when it would write what the disk holds.
    void markSavedIfAsOnDisk();

Q_SIGNALS:
    // The document is another now (a change, undo, redo, a reload).
    void changed(const QObject *origin);
    void modifiedChanged(bool modified);

private:
    friend class MissionWorkspace;
    friend class DocumentChange;
    WorkspaceDocument(const QString &path, int codePage, const QByteArray &disk, bool onDisk,
                      const StrDocument &document, QObject *parent);
    void set(const StrDocument &document, int codePage, const QObject *origin);
    // Written with `bytes`; `generation`: the document that was written.
    void saved(const QByteArray &bytes, quint64 generation);
    void setDiskDiffers(bool differs);
    // The bytes saving writes, or nothing, with the refusal told.
    static std::optional<QByteArray> checked(const WorkspaceDocument *document, Prompts &prompts);

    QString m_path;
    int m_codePage = 1252;
    QByteArray m_disk;
    QByteArray m_seen;            // what the disk was last seen to hold (read, written, or a change the author was told of)
    bool m_onDisk = false;
    StrDocument m_document;
    QUndoStack *m_undo = nullptr;
    quint64 m_generation = 0;
    bool m_diskDiffers = false;   // the disk changed under the saved state: unsaved whatever undo says
    bool m_makesFolder = false;   // a new file of the mission (a new language's): its folder is made on saving
    bool m_named = false;         // its path was named in a save dialog: written as named
};

// A mission open at once: every file the program holds, each at most once,
// found by its identity on the disk (a link and its target are one file; on
// Windows, names differing in case are one file). The views ask the
// workspace for a file's document; it reads each file through the reader's
// safe open, watches it on the disk, and saves every change through one
// flow: everything is checked before anything is written, each file is
// replaced whole, and a file that cannot be written keeps its changes.
class MissionWorkspace : public QObject
{
    Q_OBJECT

public:
    explicit MissionWorkspace(QObject *parent = nullptr);
    ~MissionWorkspace() override;

    // How a path is known: absolute, clean, links resolved; case folded on
    // Windows.
    static QString identity(const QString &path);
    // The document held of the file whose identity() is `identity`, if any.
    WorkspaceDocument *findIdentity(const QString &identity) const { return m_byIdentity.value(identity); }

    WorkspaceDocument *find(const QString &path) const;
    // The document of `path`: the one held, else the file read in `codePage`
    // (its language's; a UTF-8 file is known by its bytes). Nothing, and
    // `error` set, when it cannot be read.
    WorkspaceDocument *open(const QString &path, int codePage, Error *error);
    // The document of a file already read (by the folder's scan), `read` from
    // its bytes; the one held when there is one. `knownIdentity`: the path's
    // identity(), when the scan took it already.
    WorkspaceDocument *adopt(const QString &path, int codePage, const StrDocument &read,
                             const QString &knownIdentity = {});
    // A file not on the disk yet, made from `document` (a new translation);
    // its folder is made when it is first saved.
    WorkspaceDocument *create(const QString &path, int codePage, const StrDocument &document);

    QList<WorkspaceDocument *> documents() const { return m_documents; }
    QList<WorkspaceDocument *> modified() const;
    QUndoGroup *undoGroup() const { return m_undoGroup; }

    // Many documents held or changed at once: documentsChanged() and
    // documentChanged() are told once, when the last batch ends.
    class Batch
    {
    public:
        explicit Batch(MissionWorkspace &workspace);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        MissionWorkspace &m_workspace;
    };

    // Saves `documents` (each in place), off the GUI thread while the event
    // loop goes on (user input waits for the first moments; after them
    // savingProgressed() tells how far it has got, and cancelSaving() stops
    // it between files). Everything is checked before anything is written: a
    // text that cannot be written refuses the save, with the message; a file
    // changed on the disk since it was read is asked about (merged with the
    // changes, or reloaded) before anything is written. Then each file is
    // written, checked on the disk once more just before; at the first that
    // fails it stops and says which files were saved and which keep their
    // changes. True when all were saved.
    bool save(const QList<WorkspaceDocument *> &documents, Prompts &prompts);
    // A view's `document` saved under `path` (its own file, or one chosen in
    // the dialog: `named`) in `codePage`: it becomes that file's document, as
    // a step of undo called `description`, and is saved. The file's document
    // when it was saved.
    WorkspaceDocument *saveAs(const QString &path, int codePage, const StrDocument &document,
                              const QString &description, Prompts &prompts, const QObject *origin = nullptr,
                              bool named = false);

    // The folder of the mission open, if any: a file inside it that the
    // program saves of itself (not named in a save dialog) is written through
    // a link only to a place inside it (SafeFile::writablePath).
    void setMissionFolder(const QString &folder);
    bool isSaving() const { return m_saving; }
    // Stops a save under way after the file being written.
    void cancelSaving();
    // How long a save runs before it is told (300 ms; tests make it shorter).
    void setProgressDelay(std::chrono::milliseconds delay) { m_progressDelay = delay; }

    // Lets go of documents no view needs that have no unsaved change.
    void release(WorkspaceDocument *document);

    // A document of no file (a tab with nothing opened edits its kind's
    // template), written in `codePage`: changed, undone and saved like any
    // other, but neither watched, listed among documents() nor kept in
    // draft(); unsaved while its undo stack is not at its clean state.
    WorkspaceDocument *createUnnamed(int codePage, const StrDocument &document);
    // Lets go of a document of no file.
    void discard(WorkspaceDocument *unnamed);
    // `unnamed` saved under `path` (File › Save, Save As…): it becomes the
    // document of that file, its undo kept; when the workspace holds that
    // file already, its text becomes a step of that file's document, which is
    // saved. The file's document, or nothing when it was not saved (told).
    WorkspaceDocument *saveUnnamedAs(WorkspaceDocument *unnamed, const QString &path, Prompts &prompts);
    // A copy of `document` written at `path` in its code page (checked first,
    // as save() checks); the document stays what it was and counts as saved.
    // A file the workspace holds takes the text as a step of its own, and is
    // saved. False, told, when nothing was written.
    bool writeCopy(WorkspaceDocument *document, const QString &path, Prompts &prompts);

    // How a file is opened for writing (tests give one that fails). Called
    // on the thread that saves.
    std::function<std::unique_ptr<QSaveFile>(const QString &path)> saveFileFor;

    // Every unsaved document, as a draft keeps it: its path, code page, the
    // bytes it was read from and its changes over them (nothing re-encoded,
    // so nothing is lost whatever its code page lacks).
    QVariantList draft() const;
    // Puts back what draft() kept, each file read again from the disk: the
    // draft's document becomes one step of undo. One whose file already holds
    // what it would write is saved, not restored; one whose file was changed
    // since is asked about when it is saved. The paths that could not be.
    QStringList restore(const QJsonArray &draft);

Q_SIGNALS:
    // A document held was changed on the disk (read again off the GUI thread
    // through the reader's safe open); `bytes` is what the file holds now.
    void changedOnDisk(WorkspaceDocument *document, const QByteArray &bytes);
    // A document was added, or one's unsaved state changed.
    void documentsChanged();
    // A document held is another now (what drafts listen to).
    void documentChanged();
    // A save under way for a while: `done` of `total` steps (each file is
    // checked, then written).
    void savingProgressed(int done, int total);
    // The save told of by savingProgressed() has ended.
    void savingEnded();
    // What the status bar says: a change outside merged while saving.
    void announced(const QString &text);

private:
    friend class WorkspaceDocument;
    WorkspaceDocument *hold(const QString &path, int codePage, const QByteArray &disk, bool onDisk,
                            const StrDocument &document, const QString &knownIdentity = {});
    // The watch of the files held, made when first needed.
    WatchThread &watch();
    // Files held were changed on the disk (the watch tells): read again.
    void filesChanged(const QStringList &paths);
    void readChanged();
    void tellDocuments();
    void tellDocument();
    struct Written;
    // One save's run off the GUI thread, waited for.
    Written runSave(const QList<WorkspaceDocument *> &documents);
    // The bytes saving writes, or nothing, with the refusal told.
    static std::optional<QByteArray> checked(const WorkspaceDocument *document, Prompts &prompts);

    QList<WorkspaceDocument *> m_documents;
    QHash<QString, WorkspaceDocument *> m_byIdentity;
    QHash<QString, WorkspaceDocument *> m_byPath;   // by path() as it is watched
    QUndoGroup *m_undoGroup = nullptr;
    std::unique_ptr<WatchThread> m_watch;           // the files held, watched on a thread of their own
    QSet<QString> m_toRead;                         // changed on the disk: read once the read under way ends
    QPointer<QThread> m_reader;                     // reads changed files, off the GUI thread
    QSet<QString> m_changedWhileSaving;
    QStringList m_toWatch;                         // held in a batch, watched when it ends
    int m_batches = 0;
    bool m_documentsToTell = false;
    bool m_documentToTell = false;
    bool m_saving = false;
    std::shared_ptr<std::atomic_bool> m_cancelSaving;
    std::chrono::milliseconds m_progressDelay{300};
    QString m_missionFolder;                        // clean and absolute; "" when none is open
};
