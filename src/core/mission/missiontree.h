#pragma once

#include "core/mission/folder.h"
#include "core/mission/find.h"

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QSet>

#include <memory>

// The mission folder as a tree for the side panel: the groups (Books, Goals
// per mission, New game, Mission flags, Titles, Other string tables), each per
// language where the folder has languages, then the files, each named by its
// place (placeOf(): "miss20 › english › GOALS.STR"), with their entry counts
// and how many problems the check found in each, or why it was not read.
class MissionTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Column { NameColumn, EntriesColumn, ProblemsColumn, ColumnCount };
    enum Role { FileRole = Qt::UserRole };   // the file's index in the scan; -1 for a group

    explicit MissionTreeModel(QObject *parent = nullptr);
    ~MissionTreeModel() override;

    void setScan(const MissionFolder::Scan &scan);
    const MissionFolder::Scan &scan() const { return m_scan; }
    // The files (clean absolute paths) with changes not yet saved: their
    // names are marked.
    void setUnsaved(const QSet<QString> &paths);

    // A row as it is known across readings of the folder (its names from the
    // top of the tree), and the row so known now, if any.
    QString rowKey(const QModelIndex &index) const;
    QModelIndex rowOfKey(const QString &key) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    struct Node {
        QString name;
        int file = -1;
        Node *parent = nullptr;
        std::vector<std::unique_ptr<Node>> children;
        int row = 0;
        Node *child(const QString &name);
        void add(std::unique_ptr<Node> node);
    };
    Node *node(const QModelIndex &index) const;

    MissionFolder::Scan m_scan;
    std::unique_ptr<Node> m_root;
    QSet<QString> m_unsaved;
};

// What the panel lists below the tree: the matches of a find, or the
// problems of a check. Each row names its file and key and shows the line,
// with where the match stands in it.
class MissionResultsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { FileColumn, KeyColumn, TextColumn, ColumnCount };
    // LineRole and ColumnRole: where the row stands in its file (from 1; a
    // line of 0: the whole file).
    enum Role { FileRole = Qt::UserRole, EntryRole, MatchStartRole, MatchLengthRole, LineRole, ColumnRole };

    struct Row {
        int file = -1;       // in the scan; -1 for a problem across files
        int entry = -1;      // in the file's document; -1 for none
        QString fileName;    // its place (MissionFolder::placeOf)
        QString key;
        int line = 0;
        QString text;        // one line
        qsizetype start = 0; // the match in `text`
        qsizetype length = 0;
        int column = 1;      // of the match or the finding, in the file's line
    };

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(const QList<Row> &rows);
    const QList<Row> &rows() const { return m_rows; }
    // The matches of a find, each shown by the line of its text it stands on.
    static QList<Row> matchRows(const MissionFolder::Scan &scan, const QList<MissionFolder::Match> &matches);
    // The problems of a check.
    static QList<Row> problemRows(const MissionFolder::Scan &scan);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<Row> m_rows;
};
