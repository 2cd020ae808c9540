// Saving the workspace's documents: checked first, each file compared with
// the disk, then written, off the GUI thread.
#include "core/mission/workspace.h"

#include "core/document/codepages.h"
#include "core/document/safefile.h"
#include "core/mission/backgroundjob.h"
#include "core/mission/diskchange.h"
#include "core/mission/filewatch.h"
#include "core/save/fileoutput.h"
#include "core/save/prompts.h"
#include "core/save/textcheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QThread>
#include <QTimer>
#include <QUndoStack>

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionWorkspace", text);
}

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Paths for a message: all of them, or the first few and how many more.
QString listed(const QStringList &paths)
{
    constexpr qsizetype Shown = 20;
    if (paths.isEmpty())
        return say("none");
    if (paths.size() <= Shown)
        return paths.join(QLatin1String(", "));
    return paths.first(Shown).join(QLatin1String(", ")) + say(" and %1 more").arg(paths.size() - Shown);
}

// One document as it stood when the save began.
struct Item {
    QString path;
    int codePage = 1252;
    StrDocument document;
    QByteArray disk;
    bool onDisk = false;
    bool makesFolder = false;
    QString confinedTo;   // the mission's folder, for a file of it the program names itself; else ""
};

// What a file holds now, when it is not what the program last read or wrote:
// nothing when it is (or is not there, for a file not yet made, or was
// removed); an Error when it cannot be read.
std::variant<std::monostate, QByteArray, Error> changedOnDisk(const Item &item)
{
    const QFileInfo info(item.path);
    if (!info.exists() && !info.isSymLink())
        return std::monostate();
    auto read = SafeFile::read(item.path, StrReader::MaxFileSize);
    if (auto *error = std::get_if<Error>(&read))
        return *error;
    QByteArray &now = std::get<QByteArray>(read);
    if (item.onDisk && now == item.disk)
        return std::monostate();
    return std::move(now);
}

} // namespace

struct MissionWorkspace::Written {
    QString refusal;                                 // a text cannot be written: nothing was
    QList<std::pair<int, QByteArray>> changed;       // changed on the disk since read: nothing was written
    QList<QByteArray> written;                       // the first files, each written with these bytes
    std::optional<Error> failure;                    // the file after them could not be
    bool cancelled = false;                          // stopped before the file after them
};

namespace {

using SaveFileFor = std::function<std::unique_ptr<QSaveFile>(const QString &)>;

// The work of one save: every text checked and encoded, every file compared
// with the disk, and only then, file by file, each written (compared once
// more just before). `cancel` stops it between files.
template <typename Written>
Written runWork(const QList<Item> &items, const SaveFileFor &saveFileFor, const std::atomic_bool &cancel,
                const BackgroundJob::Control &control)
{
    Written result;
    const int total = static_cast<int>(items.size()) * 2;
    QList<QByteArray> bytes;
    bytes.reserve(items.size());
    for (const Item &item : items) {
        if (const std::optional<TextCheck::Problem> problem =
                TextCheck::firstProblem(item.document.authorTexts(), item.codePage)) {
            result.refusal = say("%1\n\nNothing was saved.").arg(TextCheck::message(*problem, item.codePage));
            return result;
        }
        std::optional<QByteArray> encoded = item.document.write(item.codePage);
        if (!encoded) {
            result.refusal = TextCheck::unwritableMessage(item.document, item.codePage, item.path);
            return result;
        }
        bytes.append(std::move(*encoded));
    }
    // A file of the mission the program names itself is written through a
    // link only to a place inside the mission; a path named in a dialog as named.
    QStringList targets;
    for (const Item &item : items) {
        std::variant<QString, Error> target = SafeFile::writablePath(item.path, item.confinedTo);
        if (auto *refused = std::get_if<Error>(&target)) {
            result.refusal = say("%1\n\nNothing was saved.").arg(refused->message);
            return result;
        }
        targets.append(std::get<QString>(std::move(target)));
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (cancel.load()) {
            result.cancelled = true;
            return result;
        }
        auto now = changedOnDisk(items.at(i));
        if (auto *error = std::get_if<Error>(&now)) {
            result.failure = Error{Error::Kind::NotWritten,
                                   say("It cannot be read to see whether it was changed outside Quillwright: %1")
                                       .arg(error->message), items.at(i).path, {}};
            return result;
        }
        if (auto *changed = std::get_if<QByteArray>(&now))
            result.changed.append({static_cast<int>(i), std::move(*changed)});
        control.progress(static_cast<int>(i) + 1, total);
    }
    if (!result.changed.isEmpty())
        return result;
    for (const Item &item : items) {
        const QString folder = QFileInfo(item.path).absolutePath();
        if (!item.onDisk && item.makesFolder && !QDir().mkpath(folder)) {
            result.refusal = say("The folder %1 could not be made. Nothing was written.").arg(shown(folder));
            return result;
        }
    }
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (cancel.load()) {
            result.cancelled = true;
            return result;
        }
        const Item &item = items.at(i);
        if (!std::holds_alternative<std::monostate>(changedOnDisk(item))) {   // changed this very moment
            result.failure = Error{Error::Kind::NotWritten,
                                   say("It was changed outside Quillwright while the files were being saved."),
                                   item.path, {}};
            return result;
        }
        std::optional<Error> error;
        if (saveFileFor) {
            const std::unique_ptr<QSaveFile> file = saveFileFor(targets.at(i));
            error = FileOutput::writeFile(*file, bytes.at(i));
        } else {
            error = FileOutput::writeFile(targets.at(i), bytes.at(i));
        }
        if (error) {
            result.failure = std::move(error);
            return result;
        }
        result.written.append(bytes.at(i));
        control.progress(static_cast<int>(items.size() + i) + 1, total);
    }
    return result;
}

} // namespace

void MissionWorkspace::cancelSaving()
{
    if (m_cancelSaving)
        m_cancelSaving->store(true);
}

MissionWorkspace::Written MissionWorkspace::runSave(const QList<WorkspaceDocument *> &documents)
{
    QList<Item> items;
    QStringList paths;
    for (const WorkspaceDocument *document : documents) {
        const bool ofTheMission = !m_missionFolder.isEmpty() && !document->m_named
            && document->path().startsWith(m_missionFolder + u'/', SafeFile::pathCase());
        items.append({document->path(), document->codePage(), document->document(), document->diskBytes(),
                      document->existsOnDisk(), document->m_makesFolder, ofTheMission ? m_missionFolder : QString()});
        paths.append(document->path());
    }
    // A read of changed files under way would hold them open, and on Windows
    // an open file cannot be replaced: it ends first. Changes told while the
    // program writes are looked at once it has (its own are then no change).
    if (m_reader)
        m_reader->wait(QDeadlineTimer(5000));
    m_cancelSaving = std::make_shared<std::atomic_bool>(false);
    BackgroundJob job;
    QEventLoop loop;
    bool long_ = false;
    std::optional<Written> result;
    connect(&job, &BackgroundJob::progressed, this, [this, &long_](int done, int total) {
        if (long_)
            Q_EMIT savingProgressed(done, total);
    });
    job.start([items, saveFileFor = saveFileFor, cancel = m_cancelSaving](const BackgroundJob::Control &control) {
        return runWork<Written>(items, saveFileFor, *cancel, control);
    }, [&](Written written) {
        result = std::move(written);
        loop.quit();
    });
    // For its first moments the author's input waits, so that nothing is
    // changed or saved again under the save; then a save still running is
    // told, and may be stopped.
    QTimer::singleShot(m_progressDelay, &loop, [&] {
        if (result)
            return;
        long_ = true;
        loop.quit();
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!result) {
        Q_EMIT savingProgressed(0, static_cast<int>(items.size()) * 2);
        loop.exec();
    }
    if (long_)
        Q_EMIT savingEnded();
    m_cancelSaving.reset();
    watch().rewatch(paths);   // written anew: watched as they are now
    return std::move(*result);
}

bool MissionWorkspace::save(const QList<WorkspaceDocument *> &documents, Prompts &prompts)
{
    if (m_saving) {
        prompts.warn(say("Files are being saved. Save again once they are."));
        return false;
    }
    QList<QPointer<WorkspaceDocument>> pending;
    for (WorkspaceDocument *document : documents)
        pending.append(document);
    m_saving = true;
    std::optional<bool> saved;
    while (!saved) {
        // Watched while the event loop goes on: a document let go of meanwhile is left alone.
        QList<WorkspaceDocument *> given;
        QList<QPointer<WorkspaceDocument>> now;
        QStringList paths;
        QList<quint64> generations;
        for (const QPointer<WorkspaceDocument> &document : std::as_const(pending)) {
            if (document) {
                given.append(document);
                now.append(document);
                paths.append(shown(document->path()));
                generations.append(document->generation());
            }
        }
        if (now.isEmpty()) {   // nothing given, or every file reloaded as it is on the disk
            saved = documents.isEmpty();
            break;
        }
        const Written written = runSave(given);
        if (!written.refusal.isEmpty()) {
            prompts.warn(written.refusal);
            saved = false;
            break;
        }
        if (!written.changed.isEmpty()) {
            // Asked about before anything is written; then checked and saved
            // again: merged, or kept as it is (the author chose to write it
            // over the change); a file reloaded has nothing left to save.
            for (const auto &[index, bytes] : written.changed) {
                WorkspaceDocument *document = now.at(index);
                if (!document)
                    continue;
                const DiskChange::Outcome outcome = DiskChange::resolve(*document, bytes, prompts);
                if (outcome.kind == DiskChange::Outcome::Kind::Reloaded)
                    pending.removeAll(document);
                else if (outcome.kind == DiskChange::Outcome::Kind::Kept)
                    document->m_disk = bytes;
                if (!outcome.announcement.isEmpty())
                    Q_EMIT announced(outcome.announcement);
            }
            continue;
        }
        QStringList savedPaths;
        {
            const Batch batch(*this);
            for (qsizetype i = 0; i < written.written.size(); ++i) {
                if (now.at(i))
                    now.at(i)->saved(written.written.at(i), generations.at(i));
                savedPaths.append(paths.at(i));
            }
        }
        saved = !written.failure && !written.cancelled;
        if (*saved)
            break;
        const QStringList kept = paths.sliced(written.written.size());
        QString text = written.cancelled
            ? say("Saving was stopped.")
            : say("The file could not be saved:\n%1\n\n%2").arg(kept.constFirst(), written.failure->message);
        if (now.size() == 1) {
            text += say("\n\nNothing was changed on the disk.");
        } else {
            text += say("\n\nSaved: %1").arg(listed(savedPaths));
            text += say("\n\nNot saved, their changes kept: %1").arg(listed(kept));
        }
        prompts.warn(text);
    }
    m_saving = false;
    m_toRead.unite(std::exchange(m_changedWhileSaving, {}));
    readChanged();
    return *saved;
}

WorkspaceDocument *MissionWorkspace::saveAs(const QString &path, int codePage, const StrDocument &document,
                                            const QString &description, Prompts &prompts, const QObject *origin,
                                            bool named)
{
    WorkspaceDocument *target = find(path);
    if (!target && QFileInfo::exists(path))
        target = open(path, codePage, nullptr);
    if (!target) {
        target = create(path, codePage, document);
        target->m_makesFolder = false;   // a path chosen in the dialog: its folder is there or the save fails
        // A file there that is no file of the game: the author chose to replace it.
        if (auto bytes = SafeFile::read(path, StrReader::MaxFileSize); std::holds_alternative<QByteArray>(bytes)) {
            target->m_disk = std::get<QByteArray>(bytes);
            target->m_seen = target->m_disk;
            target->m_onDisk = true;
        }
    }
    target->m_named = target->m_named || named;
    target->m_codePage = codePage;
    target->change(document, description, origin);
    return save({target}, prompts) ? target : nullptr;
}

void MissionWorkspace::setMissionFolder(const QString &folder)
{
    m_missionFolder = folder.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}
