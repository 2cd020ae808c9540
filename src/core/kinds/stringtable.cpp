#include "core/kinds/stringtable.h"

#include "core/document/lineendings.h"

StringTableModel::StringTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void StringTableModel::setDocument(const StrDocument &document)
{
    beginResetModel();
    m_document = document;
    m_texts.clear();
    endResetModel();
}

void StringTableModel::setEditedTexts(const QHash<int, QString> &texts)
{
    beginResetModel();
    m_texts.clear();
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        if (it.key() >= 0 && it.key() < m_document.entries().size() && it.value() != text(it.key()))
            m_texts.insert(it.key(), it.value());
    }
    endResetModel();
}

QString StringTableModel::text(int entry) const
{
    return LineEndings::toLf(m_document.text(entry));
}

StrDocument StringTableModel::document() const
{
    StrDocument file = m_document;
    QList<int> entries = m_texts.keys();
    std::sort(entries.begin(), entries.end());
    for (const int entry : std::as_const(entries)) {
        const QString typed = LineEndings::toCrLf(m_texts.value(entry));
        const QString place = tr("the text of %1").arg(m_document.key(entry));
        file.setText(entry, typed, typed.contains(u'\n') ? multiLine(typed, place) : oneLine(typed, place));
    }
    return file;
}

int StringTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_document.entries().size());
}

int StringTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StringTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int entry = index.row();
    if (index.column() == KeyColumn)
        return m_document.key(entry);
    return m_texts.value(entry, text(entry));
}

bool StringTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != TextColumn || role != Qt::EditRole)
        return false;
    const int entry = index.row();
    const QString typed = value.toString();
    if (typed == m_texts.value(entry, text(entry)))
        return false;
    if (typed == text(entry))
        m_texts.remove(entry);
    else
        m_texts.insert(entry, typed);
    Q_EMIT dataChanged(index, index);
    Q_EMIT changed();
    return true;
}

Qt::ItemFlags StringTableModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == TextColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant StringTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == KeyColumn ? tr("Key") : tr("Text");
}
