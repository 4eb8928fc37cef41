#include "ScrollAnchor.h"

#include <QScrollBar>
#include <QTreeView>

ScrollAnchor::ScrollAnchor(QTreeView* view) : m_view(view)
{
    m_top = m_view->indexAt(QPoint(0, 0));
    if (m_top.isValid()) {
        m_offset = m_view->visualRect(m_top).top();
    }
}

void ScrollAnchor::restore()
{
    if (!m_top.isValid()) {
        return;
    }
    const QModelIndex top = m_top;
    if (m_view->visualRect(top).top() == m_offset) {
        return;
    }
    m_view->scrollTo(top, QAbstractItemView::PositionAtTop);
    if (m_view->verticalScrollMode() == QAbstractItemView::ScrollPerPixel) {
        QScrollBar* bar = m_view->verticalScrollBar();
        bar->setValue(bar->value() - m_offset);
    }
}
