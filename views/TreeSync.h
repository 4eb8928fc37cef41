// Brings the children of a tree item to a wanted list in place: items that stay keep their
// place in the view (expanded, selected, current), only what changed costs a model update.
#pragma once

#include <QList>

class QTreeWidgetItem;

namespace TreeSync {

// Makes `wanted` the children of `parent`, in that order. `wanted` holds children `parent`
// already has (kept) and items in no tree yet (added); every other child of `parent` is
// deleted. Kept items are moved only when their order changed: they then leave the tree for a
// moment and come back with their expansion, selection and current state. Returns whether
// anything changed. Linear in the children when nothing did; GUI thread.
bool setChildren(QTreeWidgetItem* parent, const QList<QTreeWidgetItem*>& wanted);

} // namespace TreeSync
