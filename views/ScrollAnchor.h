// Keeps a tree view scrolled to the same item while items are added and removed around it:
// notes the item at the top of the viewport, and scrolls it back there afterwards.
#pragma once

#include <QPersistentModelIndex>

class QTreeView;

class ScrollAnchor
{
public:
    // Notes the top item of `view` now. GUI thread.
    explicit ScrollAnchor(QTreeView* view);

    // Scrolls the noted item back to where it was in the viewport, when it is still there and
    // has moved. An item that is gone leaves the scroll position as the view has it.
    void restore();

private:
    QTreeView* m_view;
    // follows the item through insertions and removals around it; invalid once it is gone
    QPersistentModelIndex m_top;
    // its top edge in the viewport, 0 or above when scrolled by pixel
    int m_offset = 0;
};
