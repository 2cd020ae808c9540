#include "core/mission/translation/translationtable.h"

#include "core/document/lineendings.h"

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

void TranslationTableModel::rowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

bool TranslationTableModel::setMarkedDone(int row, bool done)
{
    if (!m_pair.setMarkedDone(row, done))
        return false;
    rowChanged(row);
    Q_EMIT markChanged();
    return true;
}

bool TranslationTableModel::setReview(int row, bool review)
{
    if (!m_pair.setReview(row, review))
        return false;
    rowChanged(row);
    Q_EMIT markChanged();
    return true;
}

bool TranslationTableModel::setTranslation(int row, const QString &text, bool review)
{
    const bool typed = m_pair.setTargetText(row, text);
    const bool marked = review && m_pair.setReview(row, true);
    if (!typed && !marked)
        return false;
    rowChanged(row);
    if (typed)
        Q_EMIT changed();
    if (marked)
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
    rowChanged(index.row());
    Q_EMIT changed();
    return true;
}

Qt::ItemFlags TranslationTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == TranslationColumn && m_pair.isSafeToWrite())
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
