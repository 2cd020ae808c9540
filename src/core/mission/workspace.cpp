#include "core/mission/workspace.h"

#include "core/document/codepages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>
#include <QUndoGroup>
#include <QUndoStack>

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("MissionWorkspace", text);
}

// The bytes on the disk as a document, as the reader reads them.
StrDocument documentOf(const QByteArray &bytes, int codePage)
{
    auto read = StrReader::read(bytes, codePage);
    if (auto *file = std::get_if<StrReader::Result>(&read))
        return std::move(file->document);
    return StrDocument(bytes, {codePage, false});
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

// One change of a document: the document before and after it. Documents
// share their bytes, so a step costs little more than its own edits.
class DocumentChange : public QUndoCommand
{
public:
    DocumentChange(WorkspaceDocument *document, StrDocument before, StrDocument after, const QString &text,
                   const QObject *origin)
        : QUndoCommand(text)
        , m_document(document)
        , m_before(std::move(before))
        , m_after(std::move(after))
        , m_origin(origin)
    {
    }

    void undo() override { m_document->set(m_before, nullptr); }
    void redo() override
    {
        // The first redo is the change itself, which its view already shows.
        m_document->set(m_after, std::exchange(m_origin, nullptr));
    }

private:
    WorkspaceDocument *m_document;
    StrDocument m_before;
    StrDocument m_after;
    const QObject *m_origin;
};

WorkspaceDocument::WorkspaceDocument(const QString &path, int codePage, const QByteArray &disk, bool onDisk,
                                     const StrDocument &document, QObject *parent)
    : QObject(parent)
    , m_path(path)
    , m_codePage(codePage)
    , m_disk(disk)
    , m_seen(disk)
    , m_onDisk(onDisk)
    , m_document(document)
    , m_undo(new QUndoStack(this))
{
    connect(m_undo, &QUndoStack::cleanChanged, this, [this] { Q_EMIT modifiedChanged(isModified()); });
}

bool WorkspaceDocument::isModified() const
{
    return !m_onDisk || m_diskDiffers || !m_undo->isClean();
}

void WorkspaceDocument::change(const StrDocument &after, const QString &description, const QObject *origin)
{
    m_undo->push(new DocumentChange(this, m_document, after, description, origin));
}

void WorkspaceDocument::set(const StrDocument &document, const QObject *origin)
{
    m_document = document;
    ++m_generation;
    Q_EMIT changed(origin);
}

std::optional<StrReader::Result> WorkspaceDocument::readBack() const
{
    const std::optional<QByteArray> bytes = m_document.write(m_codePage);
    if (!bytes)
        return std::nullopt;
    auto read = StrReader::read(*bytes, m_codePage);
    if (auto *result = std::get_if<StrReader::Result>(&read))
        return std::move(*result);
    return std::nullopt;
}

void WorkspaceDocument::setDiskDiffers(bool differs)
{
    const bool wasModified = isModified();
    m_diskDiffers = differs;
    if (wasModified != isModified())
        Q_EMIT modifiedChanged(isModified());
}

void WorkspaceDocument::reload(const QByteArray &bytes)
{
    const bool wasModified = isModified();
    m_disk = bytes;
    m_seen = bytes;
    m_onDisk = true;
    m_diskDiffers = false;
    change(documentOf(bytes, m_codePage), say("Reload from the disk"));
    m_undo->setClean();
    if (wasModified != isModified())
        Q_EMIT modifiedChanged(isModified());
}

void WorkspaceDocument::mergeFromDisk(const QByteArray &bytes, const StrDocument &merged, const QString &description)
{
    m_disk = bytes;
    m_seen = bytes;
    m_onDisk = true;
    change(merged, description);
    setDiskDiffers(true);   // the author's changes over the file as it is now: unsaved until saved
}

void WorkspaceDocument::readAgainIn(int codePage)
{
    m_codePage = codePage;
    if (m_onDisk)
        reload(m_disk);
}

void WorkspaceDocument::keepAfterDiskChange(const QByteArray &bytes)
{
    m_seen = bytes;   // told of it: not asked again until it changes again
    setDiskDiffers(true);
}

void WorkspaceDocument::markSavedIfAsOnDisk()
{
    if (!m_onDisk || m_disk != m_seen || !isModified() || m_document.write(m_codePage) != m_disk)
        return;
    m_undo->setClean();
    setDiskDiffers(false);
}

void WorkspaceDocument::saved(const QByteArray &bytes, quint64 generation)
{
    const bool wasModified = isModified();
    m_disk = bytes;
    m_seen = bytes;
    m_onDisk = true;
    if (generation == m_generation) {
        m_diskDiffers = false;
        m_undo->setClean();
    } else {
        m_diskDiffers = true;   // changed while it was being written: what was written is not what it holds
    }
    if (wasModified != isModified())
        Q_EMIT modifiedChanged(isModified());
}

MissionWorkspace::Batch::Batch(MissionWorkspace &workspace)
    : m_workspace(workspace)
{
    ++m_workspace.m_batches;
}

MissionWorkspace::Batch::~Batch()
{
    if (--m_workspace.m_batches > 0)
        return;
    m_workspace.watch(std::exchange(m_workspace.m_toWatch, {}));
    if (std::exchange(m_workspace.m_documentToTell, false))
        Q_EMIT m_workspace.documentChanged();
    if (std::exchange(m_workspace.m_documentsToTell, false))
        Q_EMIT m_workspace.documentsChanged();
}

MissionWorkspace::MissionWorkspace(QObject *parent)
    : QObject(parent)
    , m_undoGroup(new QUndoGroup(this))
    , m_watcher(new QFileSystemWatcher(this))
    , m_folderWatcher(new QFileSystemWatcher(this))
{
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &MissionWorkspace::fileChanged);
    connect(m_folderWatcher, &QFileSystemWatcher::directoryChanged, this, &MissionWorkspace::folderChanged);
}

MissionWorkspace::~MissionWorkspace()
{
    // Reads of changed files still under way end on their own; their results go nowhere.
    for (const QPointer<QObject> &reading : std::as_const(m_reading)) {
        if (auto *thread = qobject_cast<QThread *>(reading.data())) {
            thread->disconnect(this);
            thread->wait();
        }
    }
}

QString MissionWorkspace::identity(const QString &path)
{
    const QFileInfo info(path);
    QString id = info.exists() ? info.canonicalFilePath() : QString();
    if (id.isEmpty())
        id = QDir::cleanPath(info.absoluteFilePath());
#ifdef Q_OS_WIN
    id = id.toCaseFolded();
#endif
    return id;
}

WorkspaceDocument *MissionWorkspace::find(const QString &path) const
{
    return m_byIdentity.isEmpty() ? nullptr : m_byIdentity.value(identity(path));   // identity() asks the disk
}

void MissionWorkspace::tellDocuments()
{
    if (m_batches > 0)
        m_documentsToTell = true;
    else
        Q_EMIT documentsChanged();
}

void MissionWorkspace::tellDocument()
{
    if (m_batches > 0)
        m_documentToTell = true;
    else
        Q_EMIT documentChanged();
}

void MissionWorkspace::watch(const QStringList &paths)
{
    QStringList files, folders;
    for (const QString &path : paths) {
        const QString folder = folderOf(path);
        if (m_watchedFiles.contains(path) || !m_byFolder.contains(folder) || !QFileInfo::exists(path))
            continue;   // watched, let go of meanwhile, or not there (its folder tells when it is)
        files.append(path);
        if (!m_watchedFolders.contains(folder)) {
            m_watchedFolders.insert(folder);
            folders.append(folder);
        }
    }
    if (!files.isEmpty()) {
        const QStringList failed = m_watcher->addPaths(files);
        for (const QString &path : std::as_const(files)) {
            if (!failed.contains(path))
                m_watchedFiles.insert(path);
        }
    }
    if (!folders.isEmpty())
        m_folderWatcher->addPaths(folders);
}

void MissionWorkspace::unwatch(const QStringList &paths)
{
    QStringList watched;
    for (const QString &path : paths) {
        if (m_watchedFiles.remove(path))
            watched.append(path);
    }
    if (!watched.isEmpty())
        m_watcher->removePaths(watched);
}

WorkspaceDocument *MissionWorkspace::hold(const QString &path, int codePage, const QByteArray &disk, bool onDisk,
                                          const StrDocument &document, const QString &knownIdentity)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    auto *held = new WorkspaceDocument(clean, codePage, disk, onDisk, document, this);
    m_documents.append(held);
    m_byIdentity.insert(knownIdentity.isEmpty() ? identity(clean) : knownIdentity, held);
    m_byFolder.insert(folderOf(clean), held);
    m_undoGroup->addStack(held->undoStack());
    connect(held, &WorkspaceDocument::modifiedChanged, this, &MissionWorkspace::tellDocuments);
    connect(held, &WorkspaceDocument::changed, this, &MissionWorkspace::tellDocument);
    if (m_batches > 0)
        m_toWatch.append(clean);
    else
        watch({clean});
    if (!onDisk && !m_watchedFolders.contains(folderOf(clean)) && QFileInfo::exists(folderOf(clean))) {
        m_watchedFolders.insert(folderOf(clean));
        m_folderWatcher->addPath(folderOf(clean));   // tells when the file is made
    }
    tellDocuments();
    return held;
}

WorkspaceDocument *MissionWorkspace::open(const QString &path, int codePage, Error *error)
{
    if (WorkspaceDocument *held = find(path))
        return held;
    auto read = StrReader::readFile(path, codePage);
    if (const auto *failure = std::get_if<Error>(&read)) {
        if (error)
            *error = *failure;
        return nullptr;
    }
    const StrDocument &document = std::get<StrReader::Result>(read).document;
    return hold(path, codePage, document.bytes(), true, document);
}

WorkspaceDocument *MissionWorkspace::adopt(const QString &path, int codePage, const StrDocument &read,
                                           const QString &knownIdentity)
{
    if (WorkspaceDocument *held = knownIdentity.isEmpty() ? find(path) : findIdentity(knownIdentity))
        return held;
    return hold(path, codePage, read.bytes(), true, read, knownIdentity);
}

WorkspaceDocument *MissionWorkspace::create(const QString &path, int codePage, const StrDocument &document)
{
    if (WorkspaceDocument *held = find(path))
        return held;
    WorkspaceDocument *made = hold(path, codePage, {}, false, document);
    made->m_makesFolder = true;
    return made;
}

QList<WorkspaceDocument *> MissionWorkspace::modified() const
{
    QList<WorkspaceDocument *> found;
    for (WorkspaceDocument *document : m_documents) {
        if (document->isModified())
            found.append(document);
    }
    return found;
}

void MissionWorkspace::release(WorkspaceDocument *document)
{
    if (!document || document->isModified() || !m_documents.contains(document))
        return;
    m_documents.removeOne(document);
    m_byIdentity.remove(m_byIdentity.key(document));
    m_byFolder.remove(folderOf(document->path()), document);
    unwatch({document->path()});
    m_toWatch.removeAll(document->path());
    m_undoGroup->removeStack(document->undoStack());
    document->deleteLater();
    tellDocuments();
}

void MissionWorkspace::fileChanged(const QString &path)
{
    WorkspaceDocument *document = nullptr;
    for (WorkspaceDocument *held : m_byFolder.values(folderOf(path))) {
        if (held->path() == path)
            document = held;
    }
    if (!document)
        return;
    if (m_saving) {
        if (!m_changedWhileSaving.contains(path))
            m_changedWhileSaving.append(path);
        return;   // looked at once the save has ended
    }
    // Watched anew: a file replaced by another (a rename over it, a version
    // control update) is then watched as it is now, not as it was.
    unwatch({path});
    watch({path});
    if (m_reading.value(path)) {
        m_readAgain.insert(path);   // what that read finds may be stale: read again once it ends
        return;
    }
    // Read off the GUI thread, through the reader's safe open: a pipe or a
    // device put in the file's place never blocks, and no more is read than
    // the reader's cap.
    const int codePage = document->codePage();
    auto result = std::make_shared<std::optional<QByteArray>>();
    QThread *thread = QThread::create([path, codePage, result] {
        auto read = StrReader::readFile(path, codePage);
        if (auto *file = std::get_if<StrReader::Result>(&read))
            *result = file->document.bytes();
    });
    m_reading.insert(path, thread);
    connect(thread, &QThread::finished, this, [this, thread, path, result] {
        thread->deleteLater();
        m_reading.remove(path);
        if (m_readAgain.remove(path)) {   // changed again while it was read
            fileChanged(path);
            return;
        }
        WorkspaceDocument *now = find(path);
        if (!now || !result->has_value() || **result == now->m_seen)
            return;   // gone, not an ordinary file, or as the program last saw it
        if (m_saving) {
            fileChanged(path);   // looked at once the save has ended
            return;
        }
        Q_EMIT changedOnDisk(now, **result);
    });
    thread->start();
}

void MissionWorkspace::folderChanged(const QString &folder)
{
    if (m_saving)
        return;   // the program's own writes; every file is watched again once they end
    // A held file made anew (a version control update removes and writes
    // it; a new translation saved elsewhere) is watched again and read.
    for (WorkspaceDocument *document : m_byFolder.values(folder)) {
        if (!m_watchedFiles.contains(document->path()) && QFileInfo::exists(document->path()))
            fileChanged(document->path());
    }
}

QVariantList MissionWorkspace::draft() const
{
    QVariantList kept;
    for (const WorkspaceDocument *document : m_documents) {
        if (!document->isModified())
            continue;
        kept.append(QVariantMap{{QStringLiteral("path"), document->path()},
                                {QStringLiteral("codePage"), document->codePage()},
                                {QStringLiteral("onDisk"), document->existsOnDisk()},
                                {QStringLiteral("disk"), document->diskBytes()},
                                {QStringLiteral("document"), document->document().toDraftWithChanges()}});
    }
    return kept;
}

QStringList MissionWorkspace::restore(const QJsonArray &draft)
{
    QStringList failed;
    const auto decoded = [](const QJsonValue &value) -> std::optional<QByteArray> {
        auto bytes = QByteArray::fromBase64Encoding(value.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!bytes || bytes.decoded.size() > StrReader::MaxFileSize)
            return std::nullopt;
        return std::move(bytes.decoded);
    };
    for (const QJsonValue &value : draft) {
        const QJsonObject kept = value.toObject();
        const QString path = kept.value(QStringLiteral("path")).toString();
        const int codePage = kept.value(QStringLiteral("codePage")).toInt(1252);
        std::optional<StrDocument> document;
        if (const QJsonValue whole = kept.value(QStringLiteral("document")); whole.isObject()) {
            document = StrDocument::fromDraftWithChanges(whole.toObject());
        } else if (const std::optional<QByteArray> bytes = decoded(kept.value(QStringLiteral("bytes")))) {
            document = documentOf(*bytes, codePage);   // a draft of an earlier version: the bytes it would write
        }
        const std::optional<QByteArray> disk = kept.contains(QStringLiteral("disk"))
            ? decoded(kept.value(QStringLiteral("disk"))) : std::nullopt;
        if (path.isEmpty() || !document || !CodePages::isSupported(codePage)) {
            failed.append(path);
            continue;
        }
        if (!QFileInfo::exists(path)) {
            if (!find(path))
                create(path, codePage, *document);
            continue;
        }
        WorkspaceDocument *held = open(path, codePage, nullptr);
        if (!held) {
            failed.append(path);
            continue;
        }
        if (document->write(codePage) == held->diskBytes())
            continue;   // saved as it stands: nothing to put back
        held->change(*document, say("Restore from the draft"));
        if (disk && held->existsOnDisk() && *disk != held->diskBytes()) {
            // Changed on the disk since: the draft's changes were made over
            // what it held then, and saving asks about the change outside.
            held->m_disk = *disk;
            held->setDiskDiffers(true);
        }
    }
    return failed;
}
