#include "core/mission/workspace.h"

#include "core/document/codepages.h"
#include "core/document/safefile.h"
#include "core/save/fileoutput.h"
#include "core/save/prompts.h"
#include "core/save/textcheck.h"
#include "core/mission/filewatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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


} // namespace

// One change of a document: the document before and after it, and the code
// page it is written in before and after (a file read again in another).
// Documents share their bytes, so a step costs little more than its own edits.
class DocumentChange : public QUndoCommand
{
public:
    DocumentChange(WorkspaceDocument *document, StrDocument after, int codePageAfter, const QString &text,
                   const QObject *origin)
        : QUndoCommand(text)
        , m_document(document)
        , m_before(document->document())
        , m_after(std::move(after))
        , m_codePageBefore(document->codePage())
        , m_codePageAfter(codePageAfter)
        , m_origin(origin)
    {
    }

    void undo() override { m_document->set(m_before, m_codePageBefore, nullptr); }
    void redo() override
    {
        // The first redo is the change itself, which its view already shows.
        m_document->set(m_after, m_codePageAfter, std::exchange(m_origin, nullptr));
    }

private:
    WorkspaceDocument *m_document;
    StrDocument m_before;
    StrDocument m_after;
    int m_codePageBefore;
    int m_codePageAfter;
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
    if (isUnnamed())
        return !m_undo->isClean();
    return !m_onDisk || m_diskDiffers || !m_undo->isClean();
}

void WorkspaceDocument::change(const StrDocument &after, const QString &description, const QObject *origin)
{
    m_undo->push(new DocumentChange(this, after, m_codePage, description, origin));
}

void WorkspaceDocument::set(const StrDocument &document, int codePage, const QObject *origin)
{
    m_document = document;
    ++m_generation;
    m_codePage = codePage;
    Q_EMIT changed(origin);
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
    if (!m_onDisk) {
        m_codePage = codePage;
        return;
    }
    const bool wasModified = isModified();
    m_diskDiffers = false;
    auto result = StrReader::read(m_disk, codePage);
    const StrDocument now = std::holds_alternative<StrReader::Result>(result)
        ? std::get<StrReader::Result>(result).document
        : StrDocument(m_disk, {codePage, false});
    m_undo->push(new DocumentChange(this, now, codePage, say("Read again in %1").arg(CodePages::shortName(codePage)),
                                    nullptr));
    m_undo->setClean();
    if (wasModified != isModified())
        Q_EMIT modifiedChanged(isModified());
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
    if (!m_workspace.m_toWatch.isEmpty())
        m_workspace.watch().watch(std::exchange(m_workspace.m_toWatch, {}));
    if (std::exchange(m_workspace.m_documentToTell, false))
        Q_EMIT m_workspace.documentChanged();
    if (std::exchange(m_workspace.m_documentsToTell, false))
        Q_EMIT m_workspace.documentsChanged();
}

MissionWorkspace::MissionWorkspace(QObject *parent)
    : QObject(parent)
    , m_undoGroup(new QUndoGroup(this))
{
}

// Made when the first file is held: a window with nothing open keeps no
// thread for it.
WatchThread &MissionWorkspace::watch()
{
    if (!m_watch) {
        m_watch = std::make_unique<WatchThread>(this);
        connect(m_watch->notifier(), &FileWatch::filesChanged, this, &MissionWorkspace::filesChanged);
    }
    return *m_watch;
}

MissionWorkspace::~MissionWorkspace()
{
    m_watch.reset();
    // A read of changed files still under way ends on its own; what it finds goes nowhere.
    if (m_reader) {
        m_reader->disconnect(this);
        m_reader->wait();
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

WorkspaceDocument *MissionWorkspace::hold(const QString &path, int codePage, const QByteArray &disk, bool onDisk,
                                          const StrDocument &document, const QString &knownIdentity)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    auto *held = new WorkspaceDocument(clean, codePage, disk, onDisk, document, this);
    m_documents.append(held);
    m_byIdentity.insert(knownIdentity.isEmpty() ? identity(clean) : knownIdentity, held);
    m_byPath.insert(clean, held);
    m_undoGroup->addStack(held->undoStack());
    connect(held, &WorkspaceDocument::modifiedChanged, this, &MissionWorkspace::tellDocuments);
    connect(held, &WorkspaceDocument::changed, this, &MissionWorkspace::tellDocument);
    if (m_batches > 0)
        m_toWatch.append(clean);
    else
        watch().watch({clean});   // a file not made yet is told of once it is
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
    m_byPath.remove(document->path());
    watch().unwatch({document->path()});
    m_toWatch.removeAll(document->path());
    m_undoGroup->removeStack(document->undoStack());
    document->deleteLater();
    tellDocuments();
}

void MissionWorkspace::filesChanged(const QStringList &paths)
{
    for (const QString &path : paths) {
        if (!m_byPath.contains(path))
            continue;
        if (m_saving)
            m_changedWhileSaving.insert(path);   // looked at once the save has ended
        else
            m_toRead.insert(path);
    }
    readChanged();
}

void MissionWorkspace::readChanged()
{
    if (m_reader || m_saving || m_toRead.isEmpty())
        return;
    // Read off the GUI thread, through the reader's safe open: a pipe or a
    // device put in a file's place never blocks, and no more is read than
    // the reader's cap. Only what differs from what the program last saw
    // of the file comes back.
    struct Read {
        QString path;
        int codePage;
        QByteArray seen;
    };
    QList<Read> reads;
    for (const QString &path : std::exchange(m_toRead, {})) {
        if (const WorkspaceDocument *document = m_byPath.value(path))
            reads.append({path, document->codePage(), document->m_seen});
    }
    auto found = std::make_shared<QList<std::pair<QString, QByteArray>>>();
    m_reader = QThread::create([reads, found] {
        for (const Read &read : reads) {
            auto file = StrReader::readFile(read.path, read.codePage);
            if (auto *result = std::get_if<StrReader::Result>(&file); result && result->document.bytes() != read.seen)
                found->append({read.path, result->document.bytes()});
        }
    });
    connect(m_reader, &QThread::finished, m_reader, &QObject::deleteLater);
    connect(m_reader, &QThread::finished, this, [this, found] {
        m_reader = nullptr;
        for (const auto &[path, bytes] : std::as_const(*found)) {
            WorkspaceDocument *document = m_byPath.value(path);
            if (!document || bytes == document->m_seen || m_toRead.contains(path))
                continue;   // let go of, seen meanwhile, or changed again: read again next
            if (m_saving)
                m_changedWhileSaving.insert(path);
            else
                Q_EMIT changedOnDisk(document, bytes);
        }
        readChanged();
    });
    m_reader->start();
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
