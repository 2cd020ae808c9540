#include "core/mission/missiontree.h"

#include "core/mission/check/checkreport.h"
#include "core/mission/backgroundjob.h"
#include "core/mission/fileplace.h"

#include <QDir>

#include <algorithm>
#include <functional>

MissionTreeModel::MissionTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_root(std::make_unique<Node>())
{
}

MissionTreeModel::~MissionTreeModel() = default;

MissionTreeModel::Node *MissionTreeModel::Node::child(const QString &childName)
{
    for (const std::unique_ptr<Node> &existing : children) {
        if (existing->file < 0 && existing->name == childName)
            return existing.get();
    }
    auto made = std::make_unique<Node>();
    made->name = childName;
    Node *raw = made.get();
    add(std::move(made));
    return raw;
}

void MissionTreeModel::Node::add(std::unique_ptr<Node> node)
{
    node->parent = this;
    node->row = static_cast<int>(children.size());
    children.push_back(std::move(node));
}

void MissionTreeModel::setScan(const MissionFolder::Scan &scan)
{
    beginResetModel();
    // The scan shown before and its nodes are freed on a thread of their own
    // (thousands of documents take a while).
    BackgroundJob::discard(std::make_pair(std::exchange(m_scan, scan), std::exchange(m_root, std::make_unique<Node>())));
    for (const Kinds::Descriptor &kind : Kinds::all()) {
        Node *groupNode = nullptr;
        for (qsizetype i = 0; i < m_scan.files.size(); ++i) {
            const MissionFolder::File &file = m_scan.files.at(i);
            if (file.kind != kind.kind)
                continue;
            if (!groupNode)
                groupNode = m_root->child(kind.groupName());
            Node *under = groupNode;
            if (kind.kind == Kinds::Kind::Goals && !file.mission.isEmpty())
                under = under->child(file.mission);
            if (!file.language.isEmpty())
                under = under->child(file.language);
            auto leaf = std::make_unique<Node>();
            leaf->name = MissionFolder::placeOf(file.relativePath);
            leaf->file = static_cast<int>(i);
            under->add(std::move(leaf));
        }
    }
    endResetModel();
}

MissionTreeModel::Node *MissionTreeModel::node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex MissionTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const Node *parentNode = node(parent);
    if (row < 0 || column < 0 || column >= ColumnCount || row >= static_cast<int>(parentNode->children.size()))
        return {};
    return createIndex(row, column, parentNode->children.at(static_cast<std::size_t>(row)).get());
}

QModelIndex MissionTreeModel::parent(const QModelIndex &child) const
{
    const Node *childNode = node(child);
    if (!child.isValid() || !childNode->parent || childNode->parent == m_root.get())
        return {};
    return createIndex(childNode->parent->row, 0, childNode->parent);
}

int MissionTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(node(parent)->children.size());
}

int MissionTreeModel::columnCount(const QModelIndex &) const
{
    return ColumnCount;
}

void MissionTreeModel::setUnsaved(const QSet<QString> &paths)
{
    if (paths == m_unsaved)
        return;
    const QSet<QString> before = std::exchange(m_unsaved, paths);
    if (!m_root)
        return;
    // Only the names whose mark comes or goes are drawn again: one change
    // for each folder's rows from the first to the last of them (thousands
    // of files marked at once are thousands of rows, not of changes).
    std::function<void(const Node *)> walk = [&](const Node *parentNode) {
        Node *first = nullptr;
        Node *last = nullptr;
        for (const std::unique_ptr<Node> &child : parentNode->children) {
            if (child->file >= 0) {
                const QString path = QDir::cleanPath(m_scan.files.at(child->file).path);
                if (before.contains(path) != m_unsaved.contains(path)) {
                    first = first ? first : child.get();
                    last = child.get();
                }
            }
            walk(child.get());
        }
        if (first) {
            Q_EMIT dataChanged(createIndex(first->row, NameColumn, first), createIndex(last->row, NameColumn, last),
                               {Qt::DisplayRole});
        }
    };
    walk(m_root.get());
}

QString MissionTreeModel::rowKey(const QModelIndex &index) const
{
    QStringList names;
    for (const Node *at = index.isValid() ? node(index) : nullptr; at && at != m_root.get(); at = at->parent)
        names.prepend(at->name);
    return names.join(u'\n');
}

QModelIndex MissionTreeModel::rowOfKey(const QString &key) const
{
    QModelIndex found;
    for (const QString &name : key.split(u'\n', Qt::SkipEmptyParts)) {
        const Node *parentNode = node(found);
        const auto child = std::find_if(parentNode->children.cbegin(), parentNode->children.cend(),
                                        [&name](const std::unique_ptr<Node> &each) { return each->name == name; });
        if (child == parentNode->children.cend())
            return {};
        found = createIndex((*child)->row, NameColumn, child->get());
    }
    return found;
}

QVariant MissionTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Node *item = node(index);
    if (role == FileRole)
        return item->file;
    const MissionFolder::File *file = item->file >= 0 ? &m_scan.files.at(item->file) : nullptr;
    if (role == Qt::ToolTipRole && file) {
        QStringList lines{file->relativePath};
        if (file->failure)
            lines.append(file->failure->message);
        for (qsizetype i = 0; i < file->problems.size() && i < 10; ++i) {
            const MissionFolder::Problem &problem = file->problems.at(i);
            lines.append(problem.line > 0 ? tr("Line %1: %2").arg(problem.line).arg(problem.message)
                                          : problem.message);
        }
        if (file->problems.size() > 10)
            lines.append(tr("\u2026 and %1 more").arg(file->problems.size() - 10));
        return lines.join(QLatin1Char('\n'));
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case NameColumn:
        return file && m_unsaved.contains(QDir::cleanPath(file->path)) ? item->name + QLatin1String(" *") : item->name;
    case EntriesColumn:
        return file && !file->failure ? QVariant(file->entries) : QVariant();
    case ProblemsColumn:
        if (!file)
            return {};
        if (file->failure)
            return file->unread;
        if (file->problems.isEmpty())
            return QString();
        return file->problems.size() == 1 ? tr("1 problem") : tr("%1 problems").arg(file->problems.size());
    }
    return {};
}

QVariant MissionTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn:
        return tr("File");
    case EntriesColumn:
        return tr("Entries");
    case ProblemsColumn:
        return tr("Problems");
    }
    return {};
}

void MissionResultsModel::setRows(const QList<Row> &rows)
{
    beginResetModel();
    QList<Row> old = std::exchange(m_rows, rows);
    if (old.size() > 1000)
        BackgroundJob::discard(std::move(old));   // many rows take a while to free
    endResetModel();
}

QList<MissionResultsModel::Row> MissionResultsModel::matchRows(const MissionFolder::Scan &scan,
                                                               const QList<MissionFolder::Match> &matches)
{
    QList<Row> rows;
    rows.reserve(matches.size());
    for (const MissionFolder::Match &match : matches) {
        // The line of the text the match starts on.
        const qsizetype lineStart = match.start > 0 ? match.text.lastIndexOf(u'\n', match.start - 1) + 1 : 0;
        qsizetype lineEnd = match.text.indexOf(u'\n', match.start);
        if (lineEnd < 0)
            lineEnd = match.text.size();
        const qsizetype start = match.start - lineStart;
        rows.append({match.file, match.entry, MissionFolder::placeOf(scan.files.value(match.file).relativePath),
                     match.key, match.line,
                     match.text.sliced(lineStart, lineEnd - lineStart), start,
                     std::min(match.length, lineEnd - match.start), match.column});
    }
    return rows;
}

namespace {

// "error: ... [rule]" as the check prints it, on one line.
QString shown(const MissionFolder::Problem &problem)
{
    return MissionFolder::severityName(problem.severity) + QLatin1String(": ")
        + QString(problem.message).replace(u'\n', QLatin1String("\\n")) + QLatin1String(" [") + problem.rule + u']';
}

} // namespace

QList<MissionResultsModel::Row> MissionResultsModel::problemRows(const MissionFolder::Scan &scan)
{
    QList<Row> rows;
    for (qsizetype i = 0; i < scan.files.size(); ++i) {
        for (const MissionFolder::Problem &problem : scan.files.at(i).problems)
            rows.append({static_cast<int>(i), -1, MissionFolder::placeOf(problem.file), QString(), problem.line,
                         shown(problem), 0, 0, std::max(1, problem.column)});
    }
    for (const MissionFolder::Problem &problem : scan.problems)
        rows.append({-1, -1, MissionFolder::placeOf(problem.file), QString(), problem.line, shown(problem), 0, 0});
    return rows;
}

int MissionResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int MissionResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MissionResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case FileRole:
        return row.file;
    case EntryRole:
        return row.entry;
    case MatchStartRole:
        return row.start;
    case MatchLengthRole:
        return row.length;
    case LineRole:
        return row.line;
    case ColumnRole:
        return row.column;
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case FileColumn:
            return row.line > 0 ? QStringLiteral("%1:%2").arg(row.fileName).arg(row.line) : row.fileName;
        case KeyColumn:
            return row.key;
        case TextColumn:
            return row.text;
        }
    }
    return {};
}

QVariant MissionResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case FileColumn:
        return tr("File");
    case KeyColumn:
        return tr("Key");
    case TextColumn:
        return tr("Text");
    }
    return {};
}
