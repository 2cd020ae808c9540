#include "core/kinds/missiontable.h"

#include <QJsonArray>
#include <QSet>

#include <algorithm>
#include <limits>

namespace {

// Rows sort by the number's value; what is no number at all comes last.
double sortKey(const QString &number)
{
    bool ok = false;
    const double value = number.trimmed().toDouble(&ok);
    return ok ? value : std::numeric_limits<double>::infinity();
}

} // namespace

MissionTable::MissionTable(int parts, QObject *parent)
    : QAbstractTableModel(parent)
    , m_parts(parts)
{
}

std::optional<int> MissionTable::wholeNumber(QStringView number)
{
    if (number.isEmpty() || number.size() > 3 || number.startsWith(u'0'))
        return std::nullopt;
    int value = 0;
    for (const QChar c : number) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

void MissionTable::reload(StrDocument document)
{
    beginResetModel();
    m_base = std::move(document);
    m_rows = readRows();
    m_baseEntries.clear();
    for (const Row &row : std::as_const(m_rows)) {
        for (const int entry : row.entries) {
            if (entry >= 0)
                m_baseEntries.append(entry);
        }
    }
    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [](const Row &a, const Row &b) { return sortKey(a.number) < sortKey(b.number); });
    endResetModel();
    Q_EMIT missionsChanged();
    Q_EMIT edited();
}

int MissionTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant MissionTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    if (index.column() != NumberColumn) {
        const QVariant cell = cellData(row, index.column(), role);
        // A cell with no tooltip of its own has its column's.
        if (role == Qt::ToolTipRole && !cell.isValid())
            return headerData(index.column(), Qt::Horizontal, Qt::ToolTipRole);
        return cell;
    }
    const std::optional<int> number = wholeNumber(row.number);
    const bool marked = m_other && !row.fixed && number && !m_other->contains(*number);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return row.number;
    case MarkRole:
        return marked;
    case Qt::ToolTipRole:
        if (row.fixed)
            return tr("\u201C%1\u201D is not a whole mission number from 1 to %2, so the row is kept as it stands and "
                      "cannot be edited here.")
                .arg(row.number)
                .arg(HighestNumber);
        return marked ? QVariant(missingInOther(row.number)) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags MissionTable::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags shown = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_rows.at(index.row()).fixed)
        return shown;
    return shown | (index.column() == NumberColumn ? Qt::ItemIsEditable : cellFlags(index.column()));
}

bool MissionTable::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || m_rows.at(index.row()).fixed)
        return false;
    Row &row = m_rows[index.row()];
    if (index.column() != NumberColumn) {
        if (!setCellData(row, index.column(), value, role))
            return false;
        Q_EMIT dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
        Q_EMIT edited();
        return true;
    }
    if (role != Qt::EditRole)
        return false;
    const QString number = rowNumber(value.toString());
    if (number == row.number)
        return true;
    row.number = number;
    Q_EMIT dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    sortRow(index.row());
    Q_EMIT missionsChanged();
    Q_EMIT edited();
    return true;
}

QString MissionTable::rowNumber(const QString &typed)
{
    QString number = typed.trimmed();
    const bool digits = !number.isEmpty() && std::all_of(number.cbegin(), number.cend(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    while (digits && number.size() > 1 && number.startsWith(u'0'))
        number.remove(0, 1);
    return number;
}

void MissionTable::sortRow(int row)
{
    const double key = sortKey(m_rows.at(row).number);
    int target = 0;   // where it goes among the other rows, after those of the same number
    for (int i = 0; i < m_rows.size(); ++i) {
        if (i != row && sortKey(m_rows.at(i).number) <= key)
            ++target;
    }
    if (target == row)
        return;
    beginMoveRows({}, row, row, {}, target > row ? target + 1 : target);
    m_rows.move(row, target);
    endMoveRows();
}

bool MissionTable::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row + count > m_rows.size())
        return false;
    if (std::any_of(m_rows.cbegin() + row, m_rows.cbegin() + row + count, [](const Row &r) { return r.fixed; }))
        return false;
    beginRemoveRows({}, row, row + count - 1);
    m_rows.remove(row, count);
    endRemoveRows();
    Q_EMIT missionsChanged();
    Q_EMIT edited();
    return true;
}

int MissionTable::addRow(const QString &number)
{
    Row row{number, {}, QList<int>(m_parts, -1), newTexts(), false};
    const double key = sortKey(number);
    const int at = static_cast<int>(
        std::count_if(m_rows.cbegin(), m_rows.cend(), [key](const Row &r) { return sortKey(r.number) <= key; }));
    beginInsertRows({}, at, at);
    m_rows.insert(at, row);
    endInsertRows();
    Q_EMIT missionsChanged();
    Q_EMIT edited();
    return at;
}

int MissionTable::rowOf(int entry) const
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (entry >= 0 && m_rows.at(i).entries.contains(entry))
            return static_cast<int>(i);
    }
    return -1;
}

QString MissionTable::nextNumber(int first) const
{
    const QList<int> numbers = missions();
    return QString::number(numbers.isEmpty() ? first : *std::max_element(numbers.cbegin(), numbers.cend()) + 1);
}

QList<int> MissionTable::missions() const
{
    QList<int> numbers;
    for (const Row &row : m_rows) {
        if (const std::optional<int> number = wholeNumber(row.number); number && !row.fixed)
            numbers.append(*number);
    }
    return numbers;
}

void MissionTable::setOtherMissions(const std::optional<QList<int>> &numbers)
{
    if (numbers == m_other)
        return;
    m_other = numbers;
    if (!m_rows.isEmpty())
        Q_EMIT dataChanged(index(0, NumberColumn), index(rowCount() - 1, NumberColumn), {MarkRole, Qt::ToolTipRole});
}

std::optional<Error> MissionTable::problem() const
{
    const auto refused = [](const QString &message) { return Error{Error::Kind::Refused, message, {}, {}}; };
    QHash<int, int> rowOf;
    for (int i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows.at(i);
        if (row.fixed)
            continue;
        const std::optional<int> number = wholeNumber(row.number);
        if (!number) {
            return refused(tr("Row %1: the mission number \u201C%2\u201D is not a whole number from 1 to %3.")
                               .arg(i + 1)
                               .arg(row.number)
                               .arg(HighestNumber));
        }
        if (const auto found = rowOf.constFind(*number); found != rowOf.cend()) {
            return refused(tr("Rows %1 and %2 both have the mission number %3; each mission has one row.")
                               .arg(*found)
                               .arg(i + 1)
                               .arg(*number));
        }
        rowOf.insert(*number, i + 1);
        if (const QString reason = textProblem(row); !reason.isEmpty())
            return refused(tr("Row %1 (mission %2): %3").arg(i + 1).arg(row.number, reason));
    }
    return std::nullopt;
}

QString MissionTable::text(const Row &row, int part) const
{
    if (const std::optional<QString> &typed = row.texts.at(part))
        return *typed;
    const int entry = row.entries.at(part);
    return entry >= 0 ? m_base.text(entry) : QString();
}

bool MissionTable::changed(const Row &row, int part) const
{
    const std::optional<QString> &typed = row.texts.at(part);
    const int entry = row.entries.at(part);
    return typed && (entry < 0 || *typed != m_base.text(entry));
}

QString MissionTable::placeOf(const Row &row, const QString &what) const
{
    const auto at = std::find_if(m_rows.cbegin(), m_rows.cend(), [&row](const Row &r) { return &r == &row; });
    return tr("%1 of mission %2 (row %3)").arg(what, row.number).arg(at - m_rows.cbegin() + 1);
}

QList<int> MissionTable::deletedEntries() const
{
    QSet<int> kept;
    for (const Row &row : m_rows) {
        for (const int entry : row.entries)
            kept.insert(entry);
    }
    QList<int> deleted;
    for (const int entry : m_baseEntries) {
        if (!kept.contains(entry))
            deleted.append(entry);
    }
    std::sort(deleted.begin(), deleted.end());
    return deleted;
}

MissionTable::LineStyle MissionTable::styleOf(const StrDocument &document, int entry, qsizetype prefixLength)
{
    const StrDocument::Entry &e = document.entries().at(entry);
    return {document.decoded(e.start, e.keyStart), document.key(entry).left(prefixLength), document.separator(entry),
            document.lineEnd(entry)};
}

QJsonObject MissionTable::state() const
{
    QJsonArray rows;
    for (const Row &row : m_rows) {
        QJsonArray entries;
        QJsonArray texts;
        for (int part = 0; part < m_parts; ++part) {
            entries.append(row.entries.at(part));
            texts.append(row.texts.at(part) ? QJsonValue(*row.texts.at(part)) : QJsonValue());
        }
        rows.append(QJsonObject{{QStringLiteral("number"), row.number},
                                {QStringLiteral("fileNumber"), row.fileNumber},
                                {QStringLiteral("entries"), entries},
                                {QStringLiteral("texts"), texts},
                                {QStringLiteral("fixed"), row.fixed}});
    }
    QJsonObject state{{QStringLiteral("rows"), rows}};
    saveExtra(state);
    return state;
}

bool MissionTable::restoreState(const QJsonObject &state)
{
    const QJsonValue rowsValue = state.value(QStringLiteral("rows"));
    if (!rowsValue.isArray())
        return false;
    const qsizetype entryCount = m_base.entries().size();
    QList<Row> rows;
    for (const QJsonValue &value : rowsValue.toArray()) {
        const QJsonObject object = value.toObject();
        const QJsonArray entries = object.value(QStringLiteral("entries")).toArray();
        const QJsonArray texts = object.value(QStringLiteral("texts")).toArray();
        if (entries.size() != m_parts || texts.size() != m_parts)
            return false;
        Row row{object.value(QStringLiteral("number")).toString(), object.value(QStringLiteral("fileNumber")).toString(),
                {}, {}, object.value(QStringLiteral("fixed")).toBool()};
        for (int part = 0; part < m_parts; ++part) {
            const int entry = entries.at(part).toInt(-2);
            if (entry < -1 || entry >= entryCount || (entry >= 0 && !m_baseEntries.contains(entry)))
                return false;
            row.entries.append(entry);
            row.texts.append(texts.at(part).isString() ? std::optional(texts.at(part).toString()) : std::nullopt);
        }
        rows.append(row);
    }
    beginResetModel();
    m_rows = rows;
    endResetModel();
    restoreExtra(state);
    Q_EMIT missionsChanged();
    Q_EMIT edited();
    return true;
}
