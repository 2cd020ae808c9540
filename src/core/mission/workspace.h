#pragma once

#include "core/document/strdocument.h"
#include "core/kinds/strreader.h"

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class Prompts;
class QFileSystemWatcher;
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
    // The bytes on the disk as the program last read or wrote them; empty for
    // a file that does not exist yet.
    const QByteArray &diskBytes() const { return m_disk; }
    bool existsOnDisk() const { return m_onDisk; }
    // What saving writes.
    const StrDocument &document() const { return m_document; }
    QUndoStack *undoStack() const { return m_undo; }
    bool isModified() const;

    // A change made by a view: `after` becomes the document, as one step of
    // undo called `description`. `origin` names the view (which then need not
    // show its own change again); undo and redo have none.
    void change(const StrDocument &after, const QString &description, const QObject *origin = nullptr);

    // The document as it would be written, read again: what a view shows.
    // Nothing when it cannot be written in its code page.
    std::optional<StrReader::Result> readBack() const;

    // The file was changed on the disk to `bytes` and the author chose:
    // reload (the document becomes the file as it is now, a step of undo), or
    // keep the changes (saving them replaces the file as it is now).
    void reload(const QByteArray &bytes);
    void keepAfterDiskChange(const QByteArray &bytes);
    // Written in `codePage` from now on, what it holds as it is.
    void setCodePage(int codePage) { m_codePage = codePage; }
    // The file read again in `codePage` (the mission's, or the one chosen in
    // the Encoding menu), as a step of undo that takes the code page back
    // with it; its unsaved changes are given up. A document of no file is
    // written in it from now on.
    void readAgainIn(int codePage);

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
    void saved(const QByteArray &bytes);

    QString m_path;
    int m_codePage = 1252;
    QByteArray m_disk;
    bool m_onDisk = false;
    StrDocument m_document;
    QUndoStack *m_undo = nullptr;
    bool m_diskDiffers = false;   // kept over a change on the disk: unsaved whatever undo says
    bool m_makesFolder = false;   // a new file of the mission (a new language's): its folder is made on saving
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
    // its bytes; the one held when there is one.
    WorkspaceDocument *adopt(const QString &path, int codePage, const StrDocument &read);
    // A file not on the disk yet, made from `document` (a new translation);
    // its folder is made when it is first saved.
    WorkspaceDocument *create(const QString &path, int codePage, const StrDocument &document);

    QList<WorkspaceDocument *> documents() const { return m_documents; }
    QList<WorkspaceDocument *> modified() const;
    QUndoGroup *undoGroup() const { return m_undoGroup; }

    // Saves `documents` (each in place): refuses, with the message, before
    // anything is written when a text cannot be written; otherwise writes one
    // file after the other, and at the first that fails stops and says which
    // files were saved and which keep their changes. True when all were saved.
    bool save(const QList<WorkspaceDocument *> &documents, Prompts &prompts);
    // A view's `document` saved under `path` (its own file, or one chosen in
    // the dialog) in `codePage`: it becomes that file's document, as a step
    // of undo called `description`, and is saved. The file's document when
    // it was saved.
    WorkspaceDocument *saveAs(const QString &path, int codePage, const StrDocument &document,
                              const QString &description, Prompts &prompts, const QObject *origin = nullptr);

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

    // How a file is opened for writing (tests give one that fails).
    std::function<std::unique_ptr<QSaveFile>(const QString &path)> saveFileFor;

    // Every unsaved document, as a draft keeps it: path, code page and the
    // bytes it would write.
    QVariantList draft() const;
    // Puts back what draft() kept: each file read again from the disk, with
    // the draft's bytes as one step of undo. The paths that could not be.
    QStringList restore(const QJsonArray &draft);

Q_SIGNALS:
    // A document held was changed on the disk (read again off the GUI thread
    // through the reader's safe open); `bytes` is what the file holds now.
    void changedOnDisk(WorkspaceDocument *document, const QByteArray &bytes);
    // A document was added, or one's unsaved state changed.
    void documentsChanged();
    // A document held is another now (what drafts listen to).
    void documentChanged();

private:
    WorkspaceDocument *hold(const QString &path, int codePage, const QByteArray &disk, bool onDisk,
                            const StrDocument &document);
    void fileChanged(const QString &path);
    // Nothing when written; else why not.
    std::optional<Error> write(WorkspaceDocument *document, const QByteArray &bytes);
    // The bytes saving writes, or nothing, with the refusal told.
    static std::optional<QByteArray> checked(const WorkspaceDocument *document, Prompts &prompts);

    QList<WorkspaceDocument *> m_documents;
    QHash<QString, WorkspaceDocument *> m_byIdentity;
    QUndoGroup *m_undoGroup = nullptr;
    QFileSystemWatcher *m_watcher = nullptr;
    QHash<QString, QPointer<QObject>> m_reading;   // a read of a changed file under way, by path
};
