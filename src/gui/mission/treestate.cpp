#include "gui/mission/treestate.h"

#include "core/mission/missiontree.h"

#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTreeView>

#include <functional>

TreeState TreeState::of(const QTreeView &view, const MissionTreeModel &model)
{
    TreeState state;
    const std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex at = model.index(row, MissionTreeModel::NameColumn, parent);
            if (model.rowCount(at) > 0 && view.isExpanded(at)) {
                state.m_expanded.insert(model.rowKey(at));
                walk(at);
            }
        }
    };
    walk({});
    if (const QItemSelectionModel *selection = view.selectionModel()) {
        for (const QModelIndex &index : selection->selectedRows(MissionTreeModel::NameColumn))
            state.m_selected.append(model.rowKey(index));
        state.m_current = model.rowKey(selection->currentIndex());
    }
    state.m_scrolled = view.verticalScrollBar()->value();
    return state;
}

void TreeState::restore(QTreeView &view, const MissionTreeModel &model) const
{
    for (const QString &key : m_expanded) {
        if (const QModelIndex index = model.rowOfKey(key); index.isValid())
            view.expand(index);
    }
    QItemSelectionModel *selection = view.selectionModel();
    if (const QModelIndex current = model.rowOfKey(m_current); current.isValid())
        selection->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    for (const QString &key : m_selected) {
        if (const QModelIndex index = model.rowOfKey(key); index.isValid())
            selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    view.doItemsLayout();   // the scroll bar's range for the rows now expanded
    view.verticalScrollBar()->setValue(m_scrolled);
}
