#include "TreeSync.h"

#include <QItemSelectionModel>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <vector>

namespace {

// What the view knows of an item only while it is in the tree.
struct ItemState
{
    QTreeWidgetItem* item;
    bool expanded;
    bool selected;
};

void saveStates(QTreeWidgetItem* item, std::vector<ItemState>& states)
{
    states.push_back({item, item->isExpanded(), item->isSelected()});
    for (int i = 0; i < item->childCount(); ++i) {
        saveStates(item->child(i), states);
    }
}

bool sameChildren(const QTreeWidgetItem* parent, const QList<QTreeWidgetItem*>& wanted)
{
    if (parent->childCount() != wanted.size()) {
        return false;
    }
    for (int i = 0; i < wanted.size(); ++i) {
        if (parent->child(i) != wanted.at(i)) {
            return false;
        }
    }
    return true;
}

// After the removals the children are the kept items; true when they stand in wanted order.
bool keptInOrder(const QTreeWidgetItem* parent, const QList<QTreeWidgetItem*>& wanted)
{
    int next = 0;
    for (const QTreeWidgetItem* item : wanted) {
        if (item->parent() == parent && parent->child(next++) != item) {
            return false;
        }
    }
    return true;
}

} // namespace

namespace TreeSync {

bool setChildren(QTreeWidgetItem* parent, const QList<QTreeWidgetItem*>& wanted)
{
    if (sameChildren(parent, wanted)) {
        return false;
    }
    const QSet<QTreeWidgetItem*> keep(wanted.cbegin(), wanted.cend());
    // From the end: each removal moves only the children after it.
    for (int i = parent->childCount() - 1; i >= 0; --i) {
        if (!keep.contains(parent->child(i))) {
            delete parent->takeChild(i);
        }
    }

    QTreeWidget* tree = parent->treeWidget();
    std::vector<ItemState> moved;
    QTreeWidgetItem* current = nullptr;
    if (!keptInOrder(parent, wanted)) {
        // Rare (a host whose smallest process id changed): every kept child leaves and comes
        // back in its new place, its subtree's view state noted first.
        for (int i = 0; i < parent->childCount(); ++i) {
            saveStates(parent->child(i), moved);
        }
        if (tree) {
            for (const ItemState& state : moved) {
                if (state.item == tree->currentItem()) {
                    current = state.item;
                }
            }
        }
        parent->takeChildren();
    }

    // Added items go in with one model update per run of them.
    QList<QTreeWidgetItem*> run;
    int position = 0;
    for (QTreeWidgetItem* item : wanted) {
        if (item->parent() == parent) {
            if (!run.isEmpty()) {
                parent->insertChildren(position, run);
                position += run.size();
                run.clear();
            }
            ++position;
        } else {
            run.append(item);
        }
    }
    if (!run.isEmpty()) {
        parent->insertChildren(position, run);
    }

    for (const ItemState& state : moved) {
        state.item->setExpanded(state.expanded);
        state.item->setSelected(state.selected);
    }
    if (current) {
        tree->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
    }
    return true;
}

} // namespace TreeSync
