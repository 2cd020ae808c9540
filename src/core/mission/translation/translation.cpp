#include "core/mission/translation/translation.h"

#include "core/document/codepages.h"
#include "core/save/fileoutput.h"
#include "core/document/lineendings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

using Range = std::pair<qsizetype, qsizetype>;
using State = TranslationPair::State;

QString say(const char *text)
{
    return QCoreApplication::translate("Translation", text);
}

Piece typed(const TranslationPair::Row &row)
{
    return multiLine(row.target, say("the translation of %1").arg(row.key));
}

// An untranslated entry written with the source's text as a stand-in: when
// the target's code page can write it.
bool standsIn(const TranslationPair::Row &row, int codePage)
{
    return !row.edited && !CodePages::firstUnencodable(row.source, codePage);
}

// What the translator should look at: an empty translation, other numbers
// of line breaks or of placeholders than the source's.
QString suspicion(const QString &source, const QString &target)
{
    if (target.isEmpty())
        return source.isEmpty() ? QString() : say("The translation is empty.");
    QStringList reasons;
    const qsizetype breaks = source.count(u'\n');
    const qsizetype here = target.count(u'\n');
    if (breaks != here) {
        reasons.append((breaks == 1 ? say("1 line break in the source, %2 here")
                                    : say("%1 line breaks in the source, %2 here").arg(breaks))
                           .arg(here));
    }
    static const QRegularExpression placeholder(QStringLiteral("%%|%[-+#0]*\\d*(?:\\.\\d+)?[dsif]"));
    QStringList order;
    QHash<QString, std::pair<int, int>> counts;
    for (const bool inSource : {true, false}) {
        auto matches = placeholder.globalMatch(inSource ? source : target);
        while (matches.hasNext()) {
            const QString found = matches.next().captured();
            if (found == u"%%")
                continue;
            if (!counts.contains(found))
                order.append(found);
            ++(inSource ? counts[found].first : counts[found].second);
        }
    }
    for (const QString &found : std::as_const(order)) {
        const auto [inSource, inTarget] = counts.value(found);
        if (inSource == inTarget)
            continue;
        if (inTarget == 0)
            reasons.append(say("%1 missing").arg(found));
        else if (inSource == 0)
            reasons.append(say("%1 not in the source").arg(found));
        else
            reasons.append(say("%1 %2 times in the source, %3 here").arg(found).arg(inSource).arg(inTarget));
    }
    return reasons.join(QLatin1String("; "));
}

// The first character of the document's own bytes, outside the ranges
// `changed`, that `codePage` lacks: its line and column in the document.
std::optional<TextCheck::Problem> firstUnwritable(const StrDocument &document, QList<Range> changed, int codePage,
                                                  const QString &place)
{
    const QByteArray &bytes = document.bytes();
    const qsizetype mark = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    std::sort(changed.begin(), changed.end());
    changed.append({bytes.size(), bytes.size()});
    qsizetype at = mark;
    for (const auto &[from, to] : std::as_const(changed)) {
        if (from > at) {
            const QString text = document.decoded(at, from);
            if (const auto bad = CodePages::firstUnencodable(text, codePage)) {
                const qsizetype lineStart = std::max(mark, at == 0 ? 0 : bytes.lastIndexOf('\n', at - 1) + 1);
                const QString before = document.decoded(lineStart, at) + text.first(bad->index);
                TextCheck::Problem problem = TextCheck::placed(multiLine(before, place), before.size(),
                                                               TextCheck::Problem::Unencodable, bad->codePoint);
                problem.line += static_cast<int>(QByteArrayView(bytes).first(lineStart).count('\n'));
                return problem;
            }
        }
        at = std::max(at, to);
    }
    return std::nullopt;
}

} // namespace

TranslationPair::Counts &TranslationPair::Counts::operator+=(const Counts &other)
{
    translated += other.translated;
    total += other.total;
    extra += other.extra;
    return *this;
}

TranslationPair::TranslationPair(StrReader::Result source, Target target, int targetCodePage)
    : m_source(std::move(source))
    , m_codePage(targetCodePage)
{
    QStringList unsafe;
    if (auto *read = std::get_if<StrReader::Result>(&target)) {
        if (read->utf8) {
            unsafe.append(say("The translation is written in UTF-8, but the game reads it in %1: saving writes it "
                              "anew in %1.")
                              .arg(CodePages::shortName(targetCodePage)));
        }
        if (read->kind != m_source.kind) {
            unsafe.append(say("The translation is %1, but the source is %2.")
                              .arg(Kinds::descriptor(read->kind).kindName(), Kinds::descriptor(m_source.kind).kindName()));
        }
        m_target = std::move(read->document);
    } else if (const auto *failure = std::get_if<Error>(&target)) {
        unsafe.append(say("The translation could not be read: %1 Saving replaces it with a new file.")
                          .arg(failure->message));
    }
    m_unsafe = unsafe.join(u' ');
    pair();
}

std::variant<TranslationPair, Error> TranslationPair::open(const QString &sourcePath, int sourceCodePage,
                                                          const QString &targetPath, int targetCodePage)
{
    auto source = StrReader::readFile(sourcePath, sourceCodePage);
    if (const auto *failure = std::get_if<Error>(&source))
        return Error{failure->kind, say("The source could not be read: %1").arg(failure->message), sourcePath, {}};
    const QFileInfo info(targetPath);
    Target target;
    if (info.exists()) {
        if (info.canonicalFilePath() == QFileInfo(sourcePath).canonicalFilePath())
            return Error{Error::Kind::Refused, say("The source and the translation are the same file."), targetPath, {}};
        if (!info.isFile() || info.size() > 0) {
            auto read = StrReader::readFile(targetPath, targetCodePage);
            if (auto *failure = std::get_if<Error>(&read))
                target = std::move(*failure);
            else
                target = std::get<StrReader::Result>(std::move(read));
        }
    }
    TranslationPair pair(std::get<StrReader::Result>(std::move(source)), std::move(target), targetCodePage);
    pair.m_sourcePath = sourcePath;
    pair.m_targetPath = targetPath;
    if (!targetPath.endsWith(QLatin1String(".str"), Qt::CaseInsensitive)) {
        const QString reason = say("The translation's file name does not end in .str.");
        pair.m_unsafe = pair.m_unsafe.isEmpty() ? reason : pair.m_unsafe + u' ' + reason;
    }
    return pair;
}

void TranslationPair::pair()
{
    const StrDocument &source = m_source.document;
    QHash<QString, int> inTarget;
    for (qsizetype i = 0; m_target && i < m_target->entries().size(); ++i) {
        const QString key = m_target->key(static_cast<int>(i)).toCaseFolded();
        if (!inTarget.contains(key))
            inTarget.insert(key, static_cast<int>(i));
    }
    QHash<QString, QList<int>> lines;
    for (qsizetype i = 0; i < source.entries().size(); ++i)
        lines[source.key(static_cast<int>(i)).toCaseFolded()].append(source.entries().at(i).line);

    m_rows.clear();
    m_repeats.clear();
    m_extraKeys.clear();
    const TranslationRecord::Notes notes = TranslationRecord::notesOf(source);
    m_openingNote = notes.opening;
    for (qsizetype i = 0; i < source.entries().size(); ++i) {
        Row row;
        row.sourceEntry = static_cast<int>(i);
        row.key = source.key(row.sourceEntry);
        row.source = source.text(row.sourceEntry);
        row.sourceHash = TranslationRecord::hashOf(row.source);
        row.comment = notes.perEntry.value(i);
        const QString key = row.key.toCaseFolded();
        const QList<int> &at = lines[key];
        row.readOnly = at.size() > 1;
        if (row.readOnly && at.constFirst() == source.entries().at(i).line)
            m_repeats.append({row.key, at});
        row.targetEntry = inTarget.value(key, -1);
        row.hasTarget = row.targetEntry >= 0;
        if (row.hasTarget)
            row.target = m_target->text(row.targetEntry);
        judge(row);
        m_rows.append(row);
    }
    for (qsizetype i = 0; m_target && i < m_target->entries().size(); ++i) {
        const QString key = m_target->key(static_cast<int>(i));
        if (!lines.contains(key.toCaseFolded()))
            m_extraKeys.append(key);
    }
}

void TranslationPair::judge(Row &row) const
{
    row.reason.clear();
    if (!row.hasTarget || (row.filled && row.target == row.source)) {
        row.state = State::Untranslated;
        row.markedDone = false;
        return;
    }
    const QString reason = suspicion(row.source, row.target);
    if (row.markedDone) {
        row.state = State::Done;
    } else if (!row.from.isEmpty() && row.from != row.sourceHash) {
        row.state = State::Outdated;
        row.reason = say("The source changed since this was translated.");
    } else if (!reason.isEmpty()) {
        row.state = State::Suspicious;
        row.reason = reason;
    } else if (row.target == row.source && !row.target.isEmpty()) {
        row.state = State::Identical;
    } else {
        row.state = State::Done;
    }
}

TranslationPair::Counts TranslationPair::counts() const
{
    Counts counts;
    counts.total = static_cast<int>(m_rows.size());
    counts.extra = static_cast<int>(m_extraKeys.size());
    for (const Row &row : m_rows) {
        if (row.markedDone
            || (row.state != State::Untranslated && (!row.target.isEmpty() || row.source.isEmpty())))
            ++counts.translated;
    }
    return counts;
}

int TranslationPair::rowOf(const QString &key) const
{
    const auto found = std::find_if(m_rows.cbegin(), m_rows.cend(), [&key](const Row &row) {
        return row.key.compare(key, Qt::CaseInsensitive) == 0;
    });
    return found == m_rows.cend() ? -1 : static_cast<int>(found - m_rows.cbegin());
}

bool TranslationPair::setTargetText(int row, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || !m_unsafe.isEmpty())
        return false;
    Row &r = m_rows[row];
    const QString target = LineEndings::toCrLf(text);
    if (r.readOnly || (r.hasTarget && !r.filled && r.target == target))
        return false;
    r.target = target;
    r.hasTarget = true;
    r.filled = false;
    r.from = r.sourceHash;
    r.oldSource.clear();
    r.edited = r.targetEntry < 0 || target != m_target->text(r.targetEntry);
    r.markedDone = false;
    judge(r);
    return true;
}

bool TranslationPair::setMarkedDone(int row, bool done)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).state == State::Untranslated
        || m_rows.at(row).markedDone == done)
        return false;
    m_rows[row].markedDone = done;
    if (done) {   // done with today's source
        m_rows[row].from = m_rows.at(row).sourceHash;
        m_rows[row].oldSource.clear();
    }
    judge(m_rows[row]);
    return true;
}

bool TranslationPair::setNote(int row, const QString &note)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).note == note)
        return false;
    m_rows[row].note = note;
    return true;
}

QStringList TranslationPair::applyRecord(const TranslationRecord::FileEntries &entries)
{
    using TranslationRecord::EntryState;
    QHash<QString, QString> byKey;   // folded -> as the record spells it
    for (auto it = entries.begin(); it != entries.end(); ++it)
        byKey.insert(it.key().toCaseFolded(), it.key());
    QSet<QString> used;
    for (Row &row : m_rows) {
        const QString spelled = byKey.value(row.key.toCaseFolded());
        row.from.clear();
        row.oldSource.clear();
        row.filled = false;
        row.markedDone = false;
        if (spelled.isNull()) {
            if (row.hasTarget)   // translated before the record knew it: from today's source
                row.from = row.sourceHash;
            judge(row);
            continue;
        }
        used.insert(spelled);
        const TranslationRecord::Entry &entry = entries[spelled];
        row.note = entry.note;
        if (entry.state == EntryState::Untranslated) {
            // A text other than the source's was put in by hand: translated from today's source.
            row.filled = row.hasTarget && row.target == row.source;
            if (row.hasTarget && !row.filled)
                row.from = row.sourceHash;
        } else if (row.hasTarget) {
            row.from = entry.from;
            row.markedDone = entry.state == EntryState::Done && entry.from == row.sourceHash;
            if (entry.from != row.sourceHash)
                row.oldSource = entry.source;
        }
        judge(row);
    }
    m_unusedRecord.clear();
    QStringList unused;
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (!used.contains(it.key())) {
            m_unusedRecord.insert(it.key(), it.value());
            unused.append(it.key());
        }
    }
    return unused;
}

TranslationRecord::FileEntries TranslationPair::recordEntries() const
{
    using TranslationRecord::EntryState;
    TranslationRecord::FileEntries entries = m_unusedRecord;
    for (const Row &row : m_rows) {
        if (entries.contains(row.key) && row.readOnly)
            continue;   // the first of a repeated key
        TranslationRecord::Entry entry;
        entry.note = row.note;
        if (row.state == State::Untranslated) {
            entry.state = EntryState::Untranslated;
        } else {
            entry.state = row.markedDone ? EntryState::Done : EntryState::Translated;
            entry.from = row.from.isEmpty() ? row.sourceHash : row.from;
            entry.source = entry.from == row.sourceHash ? row.source : row.oldSource;
        }
        entries.insert(row.key, entry);
    }
    return entries;
}

QList<TranslationRecord::Segment> TranslationPair::sourceChange(int row) const
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).oldSource.isEmpty())
        return {};
    return TranslationRecord::difference(m_rows.at(row).oldSource, m_rows.at(row).source);
}

int TranslationPair::nextRow(int fromRow, bool forward, const std::function<bool(const Row &)> &wanted) const
{
    const int count = static_cast<int>(m_rows.size());
    if (fromRow < 0 || fromRow >= count)
        fromRow = forward ? -1 : count;
    for (int step = 1; step <= count; ++step) {
        const int row = ((fromRow + (forward ? step : -step)) % count + count) % count;
        if (wanted(m_rows.at(row)))
            return row;
    }
    return -1;
}

StrDocument TranslationPair::targetDocument() const
{
    if (!m_target) {
        StrDocument document = m_source.document;
        for (const Row &row : m_rows) {
            if (row.edited)
                document.setText(row.sourceEntry, row.target, typed(row));
            else if (!standsIn(row, m_codePage))
                document.removeEntry(row.sourceEntry);
        }
        return document;
    }
    StrDocument document = *m_target;
    const QString separator = document.entries().isEmpty() ? QString()
                                                           : document.style(QLatin1String(""), {}).separator;
    for (int r = 0; r < m_rows.size(); ++r) {
        const Row &row = m_rows.at(r);
        const bool standIn = row.targetEntry < 0 && standsIn(row, m_codePage);
        if (!row.edited && !standIn)
            continue;
        if (row.targetEntry >= 0) {
            // A target none of whose texts has a line break writes them as the source does.
            document.setText(row.targetEntry, row.target, typed(row), m_source.document.textBreak(row.sourceEntry));
            continue;
        }
        // After the entry of the nearest source key before it, else before that of the nearest after it.
        qsizetype at = document.bytes().size();
        for (int before = r - 1; before >= 0 && at == document.bytes().size(); --before) {
            if (m_rows.at(before).targetEntry >= 0)
                at = document.entries().at(m_rows.at(before).targetEntry).end;
        }
        for (int after = r + 1; after < m_rows.size() && at == document.bytes().size(); ++after) {
            if (m_rows.at(after).targetEntry >= 0)
                at = document.entries().at(m_rows.at(after).targetEntry).start;
        }
        const QString entrySeparator = separator.isEmpty() ? m_source.document.separator(row.sourceEntry) : separator;
        const QString text = standIn ? row.source : row.target;
        document.insertEntry(at, row.key, text,
                             {standIn ? multiLine(text, say("the source text of %1").arg(row.key)) : typed(row)},
                             {QString(), entrySeparator, QString()}, m_source.document.textBreak(row.sourceEntry));
    }
    return document;
}

std::variant<QByteArray, TranslationPair::Refusal> TranslationPair::write() const
{
    if (!m_unsafe.isEmpty())
        return Refusal{m_unsafe, std::nullopt, -1};
    for (int r = 0; r < m_rows.size(); ++r) {
        if (!m_rows.at(r).edited)
            continue;
        if (const auto problem = TextCheck::firstProblem({typed(m_rows.at(r))}, m_codePage))
            return Refusal{TextCheck::message(*problem, m_codePage), problem, r};
    }
    if (std::optional<QByteArray> bytes = targetDocument().write(m_codePage))
        return *bytes;

    // A character of the lines kept as they stand.
    const StrDocument &base = m_target ? *m_target : m_source.document;
    QList<Range> changed;
    for (const Row &row : m_rows) {
        const int entry = m_target ? row.targetEntry : row.sourceEntry;
        if (entry < 0 || (m_target && !row.edited) || (!m_target && standsIn(row, m_codePage)))
            continue;
        const StrDocument::Entry &e = base.entries().at(entry);
        changed.append(row.edited ? Range{e.textStart, e.textEnd} : Range{e.start, e.end});
    }
    const QString place = m_target ? say("the translation file") : say("the source file");
    if (const auto problem = firstUnwritable(base, changed, m_codePage, place))
        return Refusal{TextCheck::message(*problem, m_codePage), problem, -1};
    return Refusal{say("The translation holds a character that %1 cannot represent. Nothing was written.")
                       .arg(CodePages::description(m_codePage)),
                   std::nullopt, -1};
}

std::optional<TranslationPair::Refusal> TranslationPair::save()
{
    const QFileInfo target(m_targetPath);
    if (m_targetPath.isEmpty()
        || (target.exists() && target.canonicalFilePath() == QFileInfo(m_sourcePath).canonicalFilePath()))
        return Refusal{say("The translation has no file of its own to be saved in. Nothing was written."),
                       std::nullopt, -1};
    auto written = write();
    if (const auto *refusal = std::get_if<Refusal>(&written))
        return *refusal;
    const QByteArray &bytes = std::get<QByteArray>(written);
    if (!target.exists() && !QDir().mkpath(target.absolutePath()))   // a new language's folder
        return Refusal{say("The folder %1 could not be made. Nothing was written.")
                           .arg(QDir::toNativeSeparators(target.absolutePath())),
                       std::nullopt, -1};
    if (const std::optional<Error> result = FileOutput::writeFile(m_targetPath, bytes)) {
        return Refusal{say("The translation could not be saved:\n%1\n\n%2\n\nNothing was changed on the disk.")
                           .arg(QDir::toNativeSeparators(m_targetPath), result->message),
                       std::nullopt, -1};
    }
    setWritten(bytes);
    return std::nullopt;
}

void TranslationPair::setWritten(const QByteArray &bytes)
{
    const QList<Row> before = m_rows;
    m_target = StrDocument(bytes, {m_codePage, false});
    m_unsafe.clear();
    pair();
    for (int r = 0; r < m_rows.size() && r < before.size(); ++r) {
        Row &row = m_rows[r];
        const Row &was = before.at(r);
        row.markedDone = was.markedDone && row.hasTarget;
        row.note = was.note;
        row.from = was.from;
        row.oldSource = was.oldSource;
        row.filled = row.hasTarget && (was.state == State::Untranslated && !was.edited);
        judge(row);
    }
}

QString TranslationPair::stateName(State state)
{
    switch (state) {
    case State::Untranslated:
        return say("Untranslated");
    case State::Identical:
        return say("Identical");
    case State::Suspicious:
        return say("Suspicious");
    case State::Done:
        return say("Done");
    case State::Outdated:
        return say("Outdated");
    }
    return {};
}

QString TranslationPair::progressText(const Counts &counts)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return (counts.total == 1 ? say("%1 of %2 entry translated") : say("%1 of %2 entries translated"))
        .arg(english.toString(counts.translated), english.toString(counts.total));
}

// ---------------------------------------------------------------- The table

TranslationTableModel::TranslationTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TranslationTableModel::setPair(TranslationPair pair)
{
    beginResetModel();
    m_pair = std::move(pair);
    endResetModel();
}

bool TranslationTableModel::setMarkedDone(int row, bool done)
{
    if (!m_pair.setMarkedDone(row, done))
        return false;
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
    Q_EMIT markChanged();
    return true;
}

bool TranslationTableModel::setNote(int row, const QString &note)
{
    if (!m_pair.setNote(row, note))
        return false;
    Q_EMIT markChanged();
    return true;
}

void TranslationTableModel::acceptTarget()
{
    m_pair.acceptTarget();
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

std::optional<TranslationPair::Refusal> TranslationTableModel::save()
{
    return m_pair.save();
}

int TranslationTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_pair.rows().size());
}

int TranslationTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TranslationTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const TranslationPair::Row &row = m_pair.row(index.row());
    if (role == StateRole)
        return static_cast<int>(row.state);
    if (role == Qt::ToolTipRole && index.column() == StateColumn && !row.reason.isEmpty())
        return row.reason;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case KeyColumn:
        return row.key;
    case SourceColumn:
        return LineEndings::toLf(row.source);
    case TranslationColumn:   // the source's text standing in is no translation
        return row.filled ? QString() : LineEndings::toLf(row.target);
    default:
        return TranslationPair::stateName(row.state);
    }
}

bool TranslationTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != TranslationColumn || role != Qt::EditRole
        || !m_pair.setTargetText(index.row(), value.toString()))
        return false;
    Q_EMIT dataChanged(this->index(index.row(), 0), this->index(index.row(), ColumnCount - 1));
    Q_EMIT changed();
    return true;
}

Qt::ItemFlags TranslationTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == TranslationColumn && m_pair.isSafeToWrite()
        && !m_pair.row(index.row()).readOnly)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant TranslationTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case KeyColumn:
        return tr("Key");
    case SourceColumn:
        return tr("Source");
    case TranslationColumn:
        return tr("Translation");
    default:
        return tr("State");
    }
}

void TranslationFilterModel::setStates(const QList<TranslationPair::State> &states)
{
    m_states = states;
    invalidateFilter();
}

bool TranslationFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    if (m_states.isEmpty())
        return true;
    const QVariant state = sourceModel()->index(sourceRow, 0, sourceParent).data(TranslationTableModel::StateRole);
    return m_states.contains(static_cast<TranslationPair::State>(state.toInt()));
}
