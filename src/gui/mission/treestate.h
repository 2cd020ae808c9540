#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

class MissionTreeModel;
class QTreeView;

// What the author made of the mission's tree: the folders expanded, the rows
// selected and current, how far it is scrolled. Taken before the folder is
// read again (after a save, say) and given back to the rows of the same
// names, so that reading again moves nothing under the author's eyes.
class TreeState
{
public:
    static TreeState of(const QTreeView &view, const MissionTreeModel &model);
    void restore(QTreeView &view, const MissionTreeModel &model) const;

private:
    QSet<QString> m_expanded;
    QStringList m_selected;
    QString m_current;
    int m_scrolled = 0;
};
