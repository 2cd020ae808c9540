#include "core/save/drafts.h"

#include "core/document/safefile.h"
#include "core/save/fileoutput.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QUuid>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Drafts", text);
}

QString lockPath(const QString &draftPath)
{
    return draftPath.chopped(int(QStringLiteral(".json").size())) + QStringLiteral(".lock");
}

} // namespace

namespace Drafts {

QString defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/drafts");
}

QString describe(const QJsonObject &draft)
{
    // Only the tabs that held work; a draft of an older version names every tab with something in it.
    QJsonObject pages = draft.value(QStringLiteral("pages")).toObject();
    if (const QJsonValue unsaved = draft.value(QStringLiteral("unsavedTabs")); unsaved.isArray()) {
        const QVariantList holding = unsaved.toArray().toVariantList();
        for (const QString &tab : pages.keys()) {
            if (!holding.contains(tab))
                pages.remove(tab);
        }
    }
    QStringList parts;
    const QJsonObject book = pages.value(QStringLiteral("BooksTab")).toObject();
    // The counts as restoring takes them.
    const int pageCount = std::clamp(book.value(QStringLiteral("count")).toInt(), 0, 50);
    const QString bookName = book.value(QStringLiteral("Bname")).toString();
    if (pageCount > 0 || !bookName.isEmpty() || !book.value(QStringLiteral("Page")).toString().isEmpty()) {
        const QString name = bookName.isEmpty() ? tr("Book") : tr("Book \u201C%1\u201D").arg(bookName.left(40));
        parts.append(pageCount == 1 ? tr("%1, 1 page").arg(name) : tr("%1, %2 pages").arg(name).arg(pageCount));
    }
    const QJsonObject goals = pages.value(QStringLiteral("GoalsTab")).toObject();
    const int goalCount = std::clamp(goals.value(QStringLiteral("count")).toInt(), 0,
                                     std::max(12, static_cast<int>(goals.value(QStringLiteral("slots")).toArray().size())));
    if (goalCount > 0)
        parts.append(goalCount == 1 ? tr("1 goal") : tr("%1 goals").arg(goalCount));
    const QString title = pages.value(QStringLiteral("NewgameTab")).toObject().value(QStringLiteral("Mt")).toString();
    if (!title.isEmpty())
        parts.append(tr("New game \u201C%1\u201D").arg(title.left(40)));
    // A tab showing its campaign table: how many rows it holds; else the box's mission.
    const auto rowCount = [&pages](const char *tab) -> qsizetype {
        const QJsonValue rows = pages.value(QLatin1String(tab)).toObject().value(QStringLiteral("campaign")).toObject()
                                    .value(QStringLiteral("rows"));
        return rows.isObject() ? rows.toObject().value(QStringLiteral("rows")).toArray().size() : -1;
    };
    const qsizetype flagRows = rowCount("MissflagTab");
    const QString mission = pages.value(QStringLiteral("MissflagTab")).toObject().value(QStringLiteral("Mnum")).toString();
    if (flagRows >= 0)
        parts.append(flagRows == 1 ? tr("Flags for 1 mission") : tr("Flags for %1 missions").arg(flagRows));
    else if (!mission.isEmpty())
        parts.append(tr("Flags for mission %1").arg(mission.left(10)));
    const qsizetype titleRows = rowCount("TitlesTab");
    const QString titled = pages.value(QStringLiteral("TitlesTab")).toObject().value(QStringLiteral("Mn2")).toString();
    if (titleRows >= 0)
        parts.append(titleRows == 1 ? tr("Titles for 1 mission") : tr("Titles for %1 missions").arg(titleRows));
    else if (!titled.isEmpty())
        parts.append(tr("Titles for mission %1").arg(titled.left(10)));
    // The files of the mission changed (replacements, translations, edits).
    QStringList names;
    for (const QJsonValue &document : draft.value(QStringLiteral("documents")).toArray())
        names.append(QFileInfo(document.toObject().value(QStringLiteral("path")).toString()).fileName());
    if (names.size() > 4) {
        const qsizetype more = names.size() - 3;
        names.resize(3);
        names.append(tr("%1 more").arg(more));
    }
    if (!names.isEmpty())
        parts.append(tr("changes to %1").arg(names.join(QLatin1String(", "))));
    const QJsonObject marks = draft.value(QStringLiteral("translationMarks")).toObject();
    if (const QString target = marks.value(QStringLiteral("target")).toString(); !target.isEmpty())
        parts.append(tr("done marks and notes of the %1 translation").arg(target.left(40)));
    return parts.isEmpty() ? tr("Nothing typed yet") : parts.join(QLatin1String("; "));
}

QJsonObject toJson(const QVariantMap &values)
{
    QJsonObject json;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QVariant &value = it.value();
        switch (value.typeId()) {
        case QMetaType::QVariantMap:
            json.insert(it.key(), toJson(value.toMap()));
            break;
        case QMetaType::QStringList:
            json.insert(it.key(), QJsonArray::fromStringList(value.toStringList()));
            break;
        case QMetaType::QVariantList: {
            QJsonArray list;   // of maps: the files of the mission changed
            for (const QVariant &item : value.toList())
                list.append(toJson(item.toMap()));
            json.insert(it.key(), list);
            break;
        }
        case QMetaType::QByteArray:
            json.insert(it.key(), QString::fromLatin1(value.toByteArray().toBase64()));
            break;
        default:
            json.insert(it.key(), QJsonValue::fromVariant(value));
        }
    }
    return json;
}

} // namespace Drafts

DraftFile::DraftFile(const QString &path, std::unique_ptr<QLockFile> lock)
    : m_path(path)
    , m_lock(std::move(lock))
{
}

DraftFile::~DraftFile() = default;

std::unique_ptr<DraftFile> DraftFile::create(const QString &folder, Error *error)
{
    if (!QDir().mkpath(folder)) {
        *error = {Error::Kind::NotWritten, tr("The folder %1 cannot be made.").arg(QDir::toNativeSeparators(folder)),
                  folder, {}};
        return nullptr;
    }
    const QString path = QDir(folder).filePath(
        QStringLiteral("draft-%1.json").arg(QUuid::createUuid().toString(QUuid::WithoutBraces)));
    auto lock = std::make_unique<QLockFile>(lockPath(path));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        *error = {Error::Kind::NotWritten, tr("The folder %1 cannot be written.").arg(QDir::toNativeSeparators(folder)),
                  folder, {}};
        return nullptr;
    }
    return std::unique_ptr<DraftFile>(new DraftFile(path, std::move(lock)));
}

bool DraftFile::isWritableFolder(const QString &folder)
{
    QFile probe(QDir(folder).filePath(QStringLiteral(".probe-%1").arg(QUuid::createUuid().toString(QUuid::Id128))));
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

QStringList DraftFile::orphans(const QString &folder)
{
    // Names are matched by hand: a name filter would compile a regular
    // expression at every start for this one look.
    const auto isDraft = [](const QString &name, QLatin1String ending) {
        return name.startsWith(QLatin1String("draft-")) && name.endsWith(ending);
    };
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Time | QDir::Reversed);
    QStringList found;
    std::optional<bool> writable;
    for (const QFileInfo &draft : files) {
        if (!isDraft(draft.fileName(), QLatin1String(".json")) || draft.fileName().contains(QLatin1String(".damaged-")))
            continue;
        QLockFile lock(lockPath(draft.filePath()));
        lock.setStaleLockTime(0);
        if (lock.tryLock(0)) {   // no live run holds it; unlocked again on leaving
            found.append(draft.filePath());
            continue;
        }
        if (!writable)
            writable = isWritableFolder(folder);
        if (!*writable)   // no lock can be taken over here: offered to be read
            found.append(draft.filePath());
    }
    for (const QFileInfo &lockFile : files) {
        if (!isDraft(lockFile.fileName(), QLatin1String(".lock")))
            continue;
        const QString draftPath = lockFile.filePath().chopped(5) + QStringLiteral(".json");
        QLockFile lock(lockFile.filePath());
        lock.setStaleLockTime(0);
        if (!QFileInfo::exists(draftPath) && lock.tryLock(0))
            lock.unlock();   // removes the lock file
    }
    return found;
}

std::unique_ptr<DraftFile> DraftFile::adopt(const QString &path)
{
    auto lock = std::make_unique<QLockFile>(lockPath(path));
    lock->setStaleLockTime(0);
    if (lock->tryLock(0))
        return std::unique_ptr<DraftFile>(new DraftFile(path, std::move(lock)));
    if (QFileInfo(path).isReadable() && !isWritableFolder(QFileInfo(path).absolutePath()))
        return std::unique_ptr<DraftFile>(new DraftFile(path, nullptr));
    return nullptr;
}

std::variant<QJsonObject, Error> DraftFile::read() const
{
    const auto unread = [this](const QString &message) { return Error{Error::Kind::NotRead, message, m_path, {}}; };
    std::variant<QByteArray, Error> read = SafeFile::read(m_path, SafeFile::DraftCap);
    if (auto *refused = std::get_if<Error>(&read))
        return std::move(*refused);
    const QByteArray &bytes = std::get<QByteArray>(read);
    if (bytes.isEmpty())
        return unread(tr("The draft is empty."));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return unread(tr("The draft is damaged (%1 at byte %2).").arg(parseError.errorString()).arg(parseError.offset));
    const QJsonObject state = document.object();
    const int format = state.value(QStringLiteral("format")).toInt();
    if (format > Drafts::Format)
        return unread(tr("The draft was written by a later version of Quillwright."));
    if (format < 1 || !state.value(QStringLiteral("pages")).isObject())
        return unread(tr("The file is not a draft of Quillwright."));
    return state;
}

std::optional<Error> DraftFile::write(const QJsonObject &state) const
{
    return FileOutput::writeFile(m_path, QJsonDocument(state).toJson(QJsonDocument::Compact));
}

std::variant<QString, Error> DraftFile::setAside()
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString target = m_path.chopped(5) + QStringLiteral(".damaged-%1.json").arg(stamp);
    if (readOnly() || !QFile::rename(m_path, target))
        return Error{Error::Kind::NotWritten, tr("The draft could not be renamed."), m_path, {}};
    return target;
}

void DraftFile::remove()
{
    if (readOnly())
        return;
    QFile::remove(m_path);
    m_lock->unlock();
}

void DraftFile::release()
{
    if (m_lock)
        m_lock->unlock();
}

DraftWriter::DraftWriter(std::unique_ptr<DraftFile> file)
    : m_file(std::move(file))
    , m_thread(new QThread)
    , m_worker(new QObject)
{
    m_worker->moveToThread(m_thread);
}

DraftWriter::~DraftWriter()
{
    m_thread->quit();
    m_thread->wait();
    disconnect(this, &DraftWriter::failed, nullptr, nullptr);   // nobody is left to be told
    writeWaiting();   // what a window ended without its close left waiting
    delete m_worker;
    delete m_thread;
}

void DraftWriter::write(const QVariantMap &state)
{
    if (!m_thread->isRunning())   // started with the first draft, not before
        m_thread->start();
    std::lock_guard<std::mutex> guard(m_mutex);
    m_waiting = state;
    if (std::exchange(m_scheduled, true))
        return;   // the write queued takes the newest state
    QMetaObject::invokeMethod(m_worker, [this] { writeWaiting(); });
}

void DraftWriter::writeWaiting()
{
    std::optional<QVariantMap> state;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        state.swap(m_waiting);
        m_scheduled = false;
    }
    if (!state)
        return;
    if (const std::optional<Error> error = m_file->write(Drafts::toJson(*state)))
        Q_EMIT failed(*error);
}

void DraftWriter::finish()
{
    m_thread->quit();
    m_thread->wait();
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_waiting.reset();   // a clean end keeps nothing
    }
    m_file->remove();
}
