#pragma once

#include "core/document/error.h"

#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <mutex>
#include <optional>
#include <variant>

class QLockFile;
class QThread;

// Drafts keep typed work safe against a crash, a power cut or a killed
// process. Every main window writes the whole editing state, a few seconds
// after the last change, to a draft of its own in the drafts folder: a JSON
// file (docs/drafts.md describes it) written through QSaveFile, so it is
// always whole. A lock file beside it tells a live window's draft from one
// left by a run that ended without cleaning up (an orphan). A clean exit
// removes both.
namespace Drafts {

// The format written; a draft of a later format is set aside unread.
inline constexpr int Format = 1;

// <application data>/drafts
QString defaultFolder();

// What a draft holds, for the question on start:
// Book "Diary", 12 pages; 3 goals; Titles for mission 20
// (of the tabs, those that held work, where the draft says which).
QString describe(const QJsonObject &draft);

// The JSON of a draft's values: strings, numbers, booleans, string lists and
// JSON as they are, byte arrays in base64, maps and lists of maps in turn. Values share their
// texts with the pages, so this can run on the draft writer's thread.
QJsonObject toJson(const QVariantMap &values);

} // namespace Drafts

class DraftFile
{
public:
    ~DraftFile();

    // A new draft in `folder` for this run, locked while it lives; nothing
    // and an error when the folder cannot be written.
    static std::unique_ptr<DraftFile> create(const QString &folder, Error *error);

    // Drafts in `folder` whose run is no longer alive, oldest first. Lock
    // files left without a draft are removed. In a folder that cannot be
    // written, where no lock can be taken over, every draft is one.
    static QStringList orphans(const QString &folder);

    // Takes over an orphan (its lock, its name); nothing when another run
    // holds it after all. In a folder that cannot be written the draft is
    // taken without its lock, to be read only (readOnly()).
    static std::unique_ptr<DraftFile> adopt(const QString &path);

    // Whether `folder` can take new files.
    static bool isWritableFolder(const QString &folder);

    // The draft can be read but not written, removed or set aside.
    bool readOnly() const { return !m_lock; }

    QString path() const { return m_path; }

    // The state kept in the draft, or why it cannot be read (through the
    // safe open, no larger than SafeFile::DraftCap).
    std::variant<QJsonObject, Error> read() const;

    // Writes `state` whole or not at all; nothing when written, else why
    // not. Safe to call from any one thread at a time.
    std::optional<Error> write(const QJsonObject &state) const;

    // Renames an unreadable draft to <name>.damaged-<time>.json and returns
    // the new path; why not when it cannot be renamed, and it stays as it is.
    std::variant<QString, Error> setAside();

    // Removes the draft and its lock: the run ended cleanly.
    void remove();
    // Gives up the lock and leaves the draft where it is.
    void release();

private:
    DraftFile(const QString &path, std::unique_ptr<QLockFile> lock);

    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

// Writes drafts on a thread of its own, so that a large book never makes
// typing stutter. At most one state waits to be written, the newest: it
// replaces an older one not yet written. What waits when the writer is
// destroyed is written before it goes.
class DraftWriter : public QObject
{
    Q_OBJECT

public:
    explicit DraftWriter(std::unique_ptr<DraftFile> file);
    ~DraftWriter() override;

    const DraftFile &file() const { return *m_file; }

    // Queues `state` for writing.
    void write(const QVariantMap &state);

    // Waits for the queued writes, then removes the draft.
    void finish();

Q_SIGNALS:
    // A draft could not be written (emitted on the writer's thread).
    void failed(const Error &error);

private:
    void writeWaiting();

    std::unique_ptr<DraftFile> m_file;
    QThread *m_thread;
    QObject *m_worker;
    std::mutex m_mutex;
    std::optional<QVariantMap> m_waiting;   // guarded by m_mutex
    bool m_scheduled = false;                // a write of the waiting state is queued; guarded by m_mutex
};
