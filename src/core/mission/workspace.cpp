#include "core/mission/workspace.h"

#include "core/document/codepages.h"
#include "core/save/fileoutput.h"
#include "core/save/prompts.h"
#include "core/save/textcheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QJsonArray>
#include <QJsonObject>
#include <QSaveFile>
#include <QThread>
#include <QUndoGroup>
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
    m_codePage = codePage;
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

void WorkspaceDocument::reload(const QByteArray &bytes)
{
    const bool wasModified = isModified();
    m_disk = bytes;
    m_onDisk = true;
    m_diskDiffers = false;
    auto result = StrReader::read(bytes, m_codePage);
    const StrDocument now = std::holds_alternative<StrReader::Result>(result)
        ? std::get<StrReader::Result>(result).document
        : StrDocument(bytes, {m_codePage, false});
    change(now, say("Reload from the disk"));
    m_undo->setClean();
    if (wasModified != isModified())
        Q_EMIT modifiedChanged(isModified());
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
    m_disk = bytes;
    m_diskDiffers = true;
    Q_EMIT modifiedChanged(true);
}

void WorkspaceDocument::saved(const QByteArray &bytes)
{
    const bool wasModified = isModified();
    m_disk = bytes;
    m_onDisk = true;
    m_diskDiffers = false;
    m_undo->setClean();
    if (wasModified != isModified())
        Q_EMIT modifiedChanged(isModified());
}

MissionWorkspace::MissionWorkspace(QObject *parent)
    : QObject(parent)
    , m_undoGroup(new QUndoGroup(this))
    , m_watcher(new QFileSystemWatcher(this))
{
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &MissionWorkspace::fileChanged);
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

WorkspaceDocument *MissionWorkspace::hold(const QString &path, int codePage, const QByteArray &disk, bool onDisk,
                                          const StrDocument &document)
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    auto *held = new WorkspaceDocument(clean, codePage, disk, onDisk, document, this);
    m_documents.append(held);
    m_byIdentity.insert(identity(clean), held);
    m_undoGroup->addStack(held->undoStack());
    connect(held, &WorkspaceDocument::modifiedChanged, this, &MissionWorkspace::documentsChanged);
    connect(held, &WorkspaceDocument::changed, this, &MissionWorkspace::documentChanged);
    if (onDisk)
        m_watcher->addPath(clean);
    Q_EMIT documentsChanged();
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

WorkspaceDocument *MissionWorkspace::adopt(const QString &path, int codePage, const StrDocument &read)
{
    if (WorkspaceDocument *held = find(path))
        return held;
    return hold(path, codePage, read.bytes(), true, read);
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
    m_byIdentity.remove(identity(document->path()));
    m_watcher->removePath(document->path());
    m_undoGroup->removeStack(document->undoStack());
    document->deleteLater();
    Q_EMIT documentsChanged();
}

std::optional<Error> MissionWorkspace::write(WorkspaceDocument *document, const QByteArray &bytes)
{
    // The watch is taken off while the program writes, so that its own save
    // is not taken for a change made outside.
    m_watcher->removePath(document->path());
    // A read of the file under way (it was changed on the disk) would hold it
    // open, and on Windows an open file cannot be replaced: it ends first.
    if (auto *thread = qobject_cast<QThread *>(m_reading.value(document->path()).data()))
        thread->wait(QDeadlineTimer(5000));
    std::optional<Error> result;
    if (saveFileFor) {
        const std::unique_ptr<QSaveFile> file = saveFileFor(document->path());
        result = FileOutput::writeFile(*file, bytes);
    } else {
        result = FileOutput::writeFile(document->path(), bytes);
    }
    if (QFileInfo::exists(document->path()))
        m_watcher->addPath(document->path());
    if (!result)
        document->saved(bytes);
    return result;
}

std::optional<QByteArray> MissionWorkspace::checked(const WorkspaceDocument *document, Prompts &prompts)
{
    const int codePage = document->codePage();
    if (const std::optional<TextCheck::Problem> problem =
            TextCheck::firstProblem(document->document().authorTexts(), codePage)) {
        prompts.warn(say("%1\n\nNothing was saved.").arg(TextCheck::message(*problem, codePage)));
        return std::nullopt;
    }
    std::optional<QByteArray> bytes = document->document().write(codePage);
    if (!bytes)
        prompts.warn(TextCheck::unwritableMessage(document->document(), codePage, document->path()));
    return bytes;
}

bool MissionWorkspace::save(const QList<WorkspaceDocument *> &documents, Prompts &prompts)
{
    // Everything is checked before anything is written.
    QList<std::pair<WorkspaceDocument *, QByteArray>> toWrite;
    for (WorkspaceDocument *document : documents) {
        std::optional<QByteArray> bytes = checked(document, prompts);
        if (!bytes)
            return false;
        toWrite.append({document, std::move(*bytes)});
    }
    for (const auto &[document, bytes] : std::as_const(toWrite)) {
        const QString folder = QFileInfo(document->path()).absolutePath();
        if (!document->existsOnDisk() && document->m_makesFolder && !QDir().mkpath(folder)) {
            prompts.warn(say("The folder %1 could not be made. Nothing was written.").arg(shown(folder)));
            return false;
        }
    }
    QStringList saved;
    for (qsizetype i = 0; i < toWrite.size(); ++i) {
        auto &[document, bytes] = toWrite[i];
        const std::optional<Error> error = write(document, bytes);
        if (!error) {
            saved.append(shown(document->path()));
            continue;
        }
        QString text = say("The file could not be saved:\n%1\n\n%2").arg(shown(document->path()), error->message);
        if (toWrite.size() == 1) {
            text += say("\n\nNothing was changed on the disk.");
        } else {
            QStringList kept;
            for (qsizetype k = i; k < toWrite.size(); ++k)
                kept.append(shown(toWrite.at(k).first->path()));
            text += say("\n\nSaved: %1").arg(saved.isEmpty() ? say("none") : saved.join(QLatin1String(", ")));
            text += say("\n\nNot saved, their changes kept: %1").arg(kept.join(QLatin1String(", ")));
        }
        prompts.warn(text);
        return false;
    }
    return true;
}

WorkspaceDocument *MissionWorkspace::saveAs(const QString &path, int codePage, const StrDocument &document,
                                            const QString &description, Prompts &prompts, const QObject *origin)
{
    WorkspaceDocument *target = find(path);
    if (!target && QFileInfo::exists(path))
        target = open(path, codePage, nullptr);
    if (!target) {
        target = create(path, codePage, document);
        target->m_makesFolder = false;   // a path chosen in the dialog: its folder is there or the save fails
    }
    target->m_codePage = codePage;
    target->change(document, description, origin);
    return save({target}, prompts) ? target : nullptr;
}

WorkspaceDocument *MissionWorkspace::createUnnamed(int codePage, const StrDocument &document)
{
    auto *made = new WorkspaceDocument(QString(), codePage, {}, false, document, this);
    m_undoGroup->addStack(made->undoStack());
    connect(made, &WorkspaceDocument::modifiedChanged, this, &MissionWorkspace::documentsChanged);
    connect(made, &WorkspaceDocument::changed, this, &MissionWorkspace::documentChanged);
    return made;
}

void MissionWorkspace::discard(WorkspaceDocument *unnamed)
{
    if (!unnamed || !unnamed->isUnnamed())
        return;
    m_undoGroup->removeStack(unnamed->undoStack());
    unnamed->deleteLater();
}

WorkspaceDocument *MissionWorkspace::saveUnnamedAs(WorkspaceDocument *unnamed, const QString &path, Prompts &prompts)
{
    const QString fileName = QFileInfo(path).fileName();
    if (WorkspaceDocument *held = find(path)) {
        held->change(unnamed->document(), say("Save %1").arg(fileName));
        return save({held}, prompts) ? held : nullptr;
    }
    // The document becomes the file's, with its undo; back to no file when it cannot be written.
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    unnamed->m_path = clean;
    m_documents.append(unnamed);
    m_byIdentity.insert(identity(clean), unnamed);
    if (!save({unnamed}, prompts)) {
        m_byIdentity.remove(identity(clean));
        m_documents.removeOne(unnamed);
        unnamed->m_path.clear();
        return nullptr;
    }
    // Known from now on as the file written (a folder of it may be a link).
    for (auto it = m_byIdentity.begin(); it != m_byIdentity.end(); ++it) {
        if (it.value() == unnamed) {
            m_byIdentity.erase(it);
            break;
        }
    }
    m_byIdentity.insert(identity(clean), unnamed);
    Q_EMIT documentsChanged();
    return unnamed;
}

bool MissionWorkspace::writeCopy(WorkspaceDocument *document, const QString &path, Prompts &prompts)
{
    WorkspaceDocument *held = find(path);
    if (held && held != document) {
        held->change(document->document(), say("Save %1").arg(QFileInfo(path).fileName()));
        if (!save({held}, prompts))
            return false;
        document->undoStack()->setClean();
        return true;
    }
    if (held == document)
        return save({document}, prompts);
    const std::optional<QByteArray> bytes = checked(document, prompts);
    if (!bytes)
        return false;
    std::optional<Error> error;
    if (saveFileFor) {
        const std::unique_ptr<QSaveFile> file = saveFileFor(path);
        error = FileOutput::writeFile(*file, *bytes);
    } else {
        error = FileOutput::writeFile(path, *bytes);
    }
    if (error) {
        prompts.warn(say("The file could not be saved:\n%1\n\n%2\n\nNothing was changed on the disk.")
                         .arg(shown(path), error->message));
        return false;
    }
    const bool wasModified = document->isModified();
    document->undoStack()->setClean();
    if (wasModified != document->isModified())
        Q_EMIT document->modifiedChanged(document->isModified());
    return true;
}

void MissionWorkspace::fileChanged(const QString &path)
{
    WorkspaceDocument *document = find(path);
    if (!document)
        return;
    if (QFileInfo::exists(path) && !m_watcher->files().contains(path))
        m_watcher->addPath(path);   // a file replaced by a new one is watched anew
    if (m_reading.value(path))
        return;   // read once the read under way ends
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
        WorkspaceDocument *now = find(path);
        if (!now || !result->has_value() || **result == now->diskBytes())
            return;   // gone, not an ordinary file, or as the program wrote or read it
        Q_EMIT changedOnDisk(now, **result);
    });
    thread->start();
}

QVariantList MissionWorkspace::draft() const
{
    QVariantList kept;
    for (const WorkspaceDocument *document : m_documents) {
        if (!document->isModified())
            continue;
        const std::optional<QByteArray> bytes = document->document().write(document->codePage());
        if (!bytes)
            continue;
        kept.append(QVariantMap{{QStringLiteral("path"), document->path()},
                                {QStringLiteral("codePage"), document->codePage()},
                                {QStringLiteral("bytes"), *bytes}});
    }
    return kept;
}

QStringList MissionWorkspace::restore(const QJsonArray &draft)
{
    QStringList failed;
    for (const QJsonValue &value : draft) {
        const QJsonObject kept = value.toObject();
        const QString path = kept.value(QStringLiteral("path")).toString();
        const int codePage = kept.value(QStringLiteral("codePage")).toInt(1252);
        auto bytes = QByteArray::fromBase64Encoding(kept.value(QStringLiteral("bytes")).toString().toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
        if (path.isEmpty() || !bytes || bytes.decoded.size() > StrReader::MaxFileSize
            || !CodePages::isSupported(codePage)) {
            failed.append(path);
            continue;
        }
        auto read = StrReader::read(bytes.decoded, codePage);
        if (!std::holds_alternative<StrReader::Result>(read)) {
            failed.append(path);
            continue;
        }
        WorkspaceDocument *document = QFileInfo::exists(path) ? open(path, codePage, nullptr) : nullptr;
        if (!document && !QFileInfo::exists(path))
            document = create(path, codePage, std::get<StrReader::Result>(read).document);
        if (!document) {
            failed.append(path);
            continue;
        }
        if (document->existsOnDisk())
            document->change(std::get<StrReader::Result>(read).document, say("Restore from the draft"));
    }
    return failed;
}
