#include "core/mission/translation/translationset.h"

#include "core/app/version.h"
#include "core/mission/translation/personalmemory.h"
#include "core/mission/workspace.h"
#include "core/save/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QSet>

namespace {

QString say(const char *text)
{
    return QCoreApplication::translate("TranslationSet", text);
}

// A held document as a pair reads it: as it now stands, its changes made
// part of its bytes (StrDocument::merged), never parsed again from bytes.
StrReader::Result asRead(const WorkspaceDocument &document)
{
    StrReader::Result read;
    read.document = document.document().merged(document.codePage());
    read.utf8 = document.document().encoding().utf8;
    read.kind = Kinds::kindOf(read.document, Kinds::kindOfPath(document.path())).value_or(Kinds::Kind::Other);
    return read;
}

} // namespace

TranslationSet::TranslationSet(MissionWorkspace &workspace, QObject *parent)
    : QObject(parent)
    , m_workspace(workspace)
{
}

TranslationSet::~TranslationSet()
{
    clear();
}

void TranslationSet::clear()
{
    for (const File &file : m_files) {
        for (WorkspaceDocument *document : {file.source.data(), file.target.data()}) {
            if (document)
                document->disconnect(this);
        }
    }
    m_files.clear();
    m_record = {};
    m_recordWritable = true;
}

QStringList TranslationSet::open(const MissionFolder::Scan &scan, const QString &source, const QString &target,
                                 int codePage, const std::optional<MissionFolder::Scan> &sourceFolder)
{
    clear();
    m_root = scan.root;
    m_source = source;
    m_target = target;
    m_sourceFolder = sourceFolder.has_value();
    QList<MissionTranslation::FilePair> pairs;
    if (sourceFolder)
        pairs = MissionTranslation::pairFolders(*sourceFolder, scan);
    else if (!target.isEmpty() && target.compare(source, Qt::CaseInsensitive) != 0)
        pairs = MissionTranslation::pairLanguages(scan, source, target);
    QStringList unused;
    if (!pairs.isEmpty() && keepsRecord()) {
        const TranslationRecord::Loaded loaded =
            TranslationRecord::load(recordPath(), QFileInfo(m_root).fileName(), target);
        m_record = loaded.record;
        m_recordWritable = loaded.rewritable;
        unused = loaded.unused;
    }
    for (const MissionTranslation::FilePair &names : std::as_const(pairs))
        openFile(names, codePage);
    return unused;
}

void TranslationSet::openFile(const MissionTranslation::FilePair &names, int codePage)
{
    File file;
    file.names = names;
    file.codePage = codePage;
    Error error;
    WorkspaceDocument *source = m_workspace.open(names.sourcePath, names.sourceCodePage, &error);
    if (!source) {
        file.failure = say("The source could not be read: %1").arg(error.message);
        m_files.push_back(std::move(file));
        return;
    }
    TranslationPair::Target target;
    WorkspaceDocument *translation = m_workspace.find(names.targetPath);
    const QFileInfo info(names.targetPath);
    if (!translation && (info.exists() || info.isSymLink())) {
        if (MissionWorkspace::identity(names.targetPath) == MissionWorkspace::identity(names.sourcePath)) {
            file.failure = say("The source and the translation are the same file.");
            m_files.push_back(std::move(file));
            return;
        }
        if (!info.isFile() || info.size() > 0) {   // an empty file is one not translated yet
            translation = m_workspace.open(names.targetPath, codePage, &error);
            if (!translation)
                target = error;
        }
    }
    if (translation) {
        file.codePage = translation->codePage();
        target = asRead(*translation);
    }
    TranslationPair pair(asRead(*source), std::move(target), file.codePage);
    if (pair.rows().isEmpty())
        return;   // nothing in it is prose to translate: copied as it stands
    if (!names.targetPath.endsWith(QLatin1String(".str"), Qt::CaseInsensitive))
        pair.refuseUntilAccepted(say("The translation's file name does not end in .str."));
    pair.applyRecord(m_record.files.value(names.name));
    file.recorded = pair.recordEntries();
    file.model = std::make_unique<TranslationTableModel>();
    file.model->setPair(std::move(pair));
    const int index = size();
    TranslationTableModel *model = file.model.get();
    connect(model, &TranslationTableModel::dataChanged, this,
            [this, index](const QModelIndex &topLeft) { m_files.at(size_t(index)).lastRow = topLeft.row(); });
    connect(model, &TranslationTableModel::changed, this, [this, index] { typed(index); });
    connect(model, &TranslationTableModel::markChanged, this, &TranslationSet::marksChanged);
    m_files.push_back(std::move(file));
    watch(index, source, true);
    if (translation)
        watch(index, translation, false);
}

void TranslationSet::watch(int file, WorkspaceDocument *document, bool isSource)
{
    File &held = m_files.at(size_t(file));
    (isSource ? held.source : held.target) = document;
    connect(document, &WorkspaceDocument::changed, this, [this, file, document](const QObject *origin) {
        const File &now = m_files.at(size_t(file));
        if (origin != this && (now.source == document || now.target == document))
            changedElsewhere(file);
    });
}

TranslationTableModel *TranslationSet::model(int file) const
{
    return file >= 0 && file < size() ? m_files.at(size_t(file)).model.get() : nullptr;
}

QString TranslationSet::name(int file) const
{
    return file >= 0 && file < size() ? m_files.at(size_t(file)).names.name : QString();
}

int TranslationSet::indexOf(const QString &name) const
{
    for (int i = 0; i < size(); ++i) {
        if (m_files.at(size_t(i)).names.name == name)
            return i;
    }
    return -1;
}

QString TranslationSet::recordPath() const
{
    return QDir(m_root).filePath(TranslationRecord::fileName(m_target));
}

TranslationPair::Counts TranslationSet::counts() const
{
    TranslationPair::Counts counts;
    for (const File &file : m_files) {
        if (file.model)
            counts += file.model->pair().counts();
    }
    return counts;
}

void TranslationSet::typed(int file, const QString &description)
{
    File &held = m_files.at(size_t(file));
    const TranslationPair &pair = held.model->pair();
    const StrDocument after = pair.targetDocument();
    if (!held.target) {
        WorkspaceDocument *document = m_workspace.find(held.names.targetPath);
        if (!document)   // a new file, made from the source's
            document = m_workspace.create(held.names.targetPath, held.codePage, pair.source().document);
        watch(file, document, false);
    }
    const QString key = held.lastRow >= 0 && held.lastRow < pair.rows().size() ? pair.row(held.lastRow).key
                                                                                 : QString();
    held.target->change(after, description.isEmpty() ? say("Translate %1").arg(key) : description, this);
    if (!m_changed.contains(held.target))
        m_changed.append(held.target);
    Q_EMIT documentChanged(held.target);
}

void TranslationSet::changedElsewhere(int file)
{
    File &held = m_files.at(size_t(file));
    TranslationTableModel *table = held.model.get();
    if (!table || !held.source)
        return;
    const TranslationPair &before = table->pair();
    TranslationPair::Target target;
    if (held.target)
        target = asRead(*held.target);
    TranslationPair pair(asRead(*held.source), std::move(target), held.codePage);
    if (before.isSafeToWrite())
        pair.acceptTarget();
    // The record's states go on: what was made from which source, done marks,
    // reviews and notes; a text that stands in for the source again is untranslated.
    TranslationRecord::FileEntries entries = before.recordEntries();
    for (const TranslationPair::Row &row : pair.rows()) {
        const auto recorded = held.recorded.constFind(row.key);
        if (recorded != held.recorded.cend() && recorded->state == TranslationRecord::EntryState::Untranslated
            && row.target == row.source)
            entries.insert(row.key, *recorded);
    }
    pair.applyRecord(entries);
    table->setPair(std::move(pair));
    Q_EMIT fileChanged(file);
}

QList<WorkspaceDocument *> TranslationSet::changedDocuments() const
{
    QList<WorkspaceDocument *> documents;
    for (const QPointer<WorkspaceDocument> &document : m_changed) {
        if (document && document->isModified())
            documents.append(document);
    }
    return documents;
}

bool TranslationSet::holds(const WorkspaceDocument *document) const
{
    return document && std::any_of(m_changed.cbegin(), m_changed.cend(),
                                   [document](const QPointer<WorkspaceDocument> &held) { return held == document; });
}

QList<Exchange::Unit> TranslationSet::units() const
{
    QList<Exchange::Unit> units;
    for (const File &file : m_files) {
        if (file.model)
            units += Exchange::unitsOf(file.model->pair(), file.names.name);
    }
    return units;
}

QByteArray TranslationSet::exported(Format format, const QDateTime &revised) const
{
    const QString target = PersonalMemory::languageTag(m_target);
    if (format == Format::Xliff)
        return Exchange::toXliff(units(), PersonalMemory::languageTag(m_source), target);
    return Exchange::toPo(units(), {QFileInfo(m_root).fileName(), m_target, target, revised,
                                    QStringLiteral("Quillwright ") + Version::buildVersion()});
}

Exchange::Import TranslationSet::read(const QString &path, const QByteArray &bytes) const
{
    int codePage = 1252;
    for (const File &file : m_files) {
        if (file.model) {
            codePage = file.codePage;
            break;
        }
    }
    const bool po = path.endsWith(QLatin1String(".po"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".pot"), Qt::CaseInsensitive)
        || (!path.endsWith(QLatin1String(".xlf"), Qt::CaseInsensitive)
            && !path.endsWith(QLatin1String(".xliff"), Qt::CaseInsensitive) && !bytes.trimmed().startsWith('<'));
    return po ? Exchange::fromPo(bytes, units(), codePage) : Exchange::fromXliff(bytes, units(), codePage);
}

TranslationSet::Taken TranslationSet::take(const Exchange::Import &import, const QString &description)
{
    Taken taken;
    taken.problems = import.problems;
    // Every change must land on an entry that can take it before any is made.
    QMap<int, QList<std::pair<int, Exchange::Change>>> changes;   // per file: row, change
    for (const Exchange::Change &change : import.changes) {
        const int index = indexOf(change.file);
        const TranslationTableModel *table = model(index);
        const int row = table ? table->pair().rowOf(change.key) : -1;
        if (row < 0)
            taken.problems.append({0, change.file, change.key, say("%1 has no entry %2.").arg(change.file, change.key)});
        else if (!table->pair().isSafeToWrite())
            taken.problems.append({0, change.file, change.key, table->pair().unsafeReason()});
        else
            changes[index].append({row, change});
    }
    if (!taken.problems.isEmpty())
        return taken;
    bool marked = false;
    for (auto changed = changes.cbegin(); changed != changes.cend(); ++changed) {
        TranslationTableModel *table = model(changed.key());
        TranslationPair pair = table->pair();
        bool text = false;
        for (const auto &[row, change] : changed.value()) {
            const TranslationPair::TakenChange made =
                pair.take(row, {change.text, change.madeFrom, change.review, change.done, change.note});
            text = text || made.text;
            marked = marked || made.record;
            taken.entries += made.text || made.record ? 1 : 0;
            taken.outdated += pair.row(row).state == TranslationPair::State::Outdated && !change.madeFrom.isEmpty();
        }
        table->setPair(std::move(pair));
        if (text) {
            ++taken.files;
            typed(changed.key(), description);
        }
        Q_EMIT fileChanged(changed.key());
    }
    if (marked)
        Q_EMIT marksChanged();
    return taken;
}

QList<TranslationMemory::Unit> TranslationSet::confirmedUnits() const
{
    QList<TranslationMemory::Unit> units;
    for (const File &file : m_files) {
        if (file.model)
            units += TranslationMemory::confirmedUnits(file.model->pair(), file.names.name);
    }
    return units;
}

QList<TranslationMemory::Unit> TranslationSet::currentUnits() const
{
    QList<TranslationMemory::Unit> units;
    for (const File &file : m_files) {
        if (!file.model)
            continue;
        for (const TranslationPair::Row &row : file.model->pair().rows())
            units.append({file.names.name, row.key, row.source, {}});
    }
    return units;
}

std::optional<TranslationSet::Refusal> TranslationSet::check() const
{
    for (int i = 0; i < size(); ++i) {
        const File &file = m_files.at(size_t(i));
        if (!file.model || !file.target || !file.target->isModified() || !file.model->pair().isSafeToWrite())
            continue;
        const auto written = file.model->pair().write();
        if (const auto *refusal = std::get_if<TranslationPair::Refusal>(&written))
            return Refusal{i, *refusal};
    }
    return std::nullopt;
}

bool TranslationSet::save(Prompts &prompts, QString *recordProblem)
{
    if (std::optional<Refusal> refused = check()) {
        const File &file = m_files.at(size_t(refused->file));
        prompts.warn(say("%1 cannot be saved:\n\n%2")
                         .arg(QDir::toNativeSeparators(QDir(m_root).relativeFilePath(file.names.targetPath)),
                              refused->refusal.message));
        return false;
    }
    const QList<WorkspaceDocument *> documents = changedDocuments();
    if (!documents.isEmpty() && !m_workspace.save(documents, prompts))
        return false;
    if (!keepsRecord())
        return true;
    for (File &file : m_files) {
        if (!file.model)
            continue;
        file.recorded = file.model->pair().recordEntries();
        m_record.files.insert(file.names.name, file.recorded);
    }
    m_record.mission = QFileInfo(m_root).fileName();
    m_record.target = m_target;
    QString problem;
    if (!m_recordWritable) {
        problem = say("The translation record %1 was left as it is, as what it held could not be read nor kept "
                      "aside.")
                      .arg(QDir::toNativeSeparators(recordPath()));
    } else if (const std::optional<Error> error = TranslationRecord::save(recordPath(), m_record, m_root)) {
        problem = error->message;
    }
    if (recordProblem)
        *recordProblem = problem;
    return true;   // the translations were saved, whatever became of the record
}

QVariantList TranslationSet::changedMarks() const
{
    QVariantList changed;
    if (!keepsRecord())
        return changed;   // no record is kept
    for (const File &file : m_files) {
        if (!file.model)
            continue;
        const TranslationRecord::FileEntries now = file.model->pair().recordEntries();
        for (const QString &key : TranslationRecord::marksChanged(file.recorded, now)) {
            const TranslationRecord::Entry &entry = now[key];
            changed.append(QVariantMap{{QStringLiteral("file"), file.names.name},
                                       {QStringLiteral("key"), key},
                                       {QStringLiteral("done"), entry.state == TranslationRecord::EntryState::Done},
                                       {QStringLiteral("review"), entry.state == TranslationRecord::EntryState::Review},
                                       {QStringLiteral("note"), entry.note}});
        }
    }
    return changed;
}

void TranslationSet::applyMarks(const QJsonArray &entries)
{
    for (const QJsonValue &value : entries) {
        const QJsonObject entry = value.toObject();
        TranslationTableModel *table = model(indexOf(entry.value(QStringLiteral("file")).toString()));
        if (!table)
            continue;   // a file no longer there: its marks go with it
        if (const int row = table->pair().rowOf(entry.value(QStringLiteral("key")).toString()); row >= 0) {
            table->setNote(row, entry.value(QStringLiteral("note")).toString());
            table->setReview(row, entry.value(QStringLiteral("review")).toBool());
            table->setMarkedDone(row, entry.value(QStringLiteral("done")).toBool());
        }
    }
}
