// Real mouse clicks on the items of shown trees and tables.
#pragma once

#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

namespace Clicks {

// The middle of the item's part that is in view: a row of many columns is wider than a
// small tree.
inline QPoint spotOf(QTreeWidget* tree, QTreeWidgetItem* item)
{
    return tree->visualItemRect(item).intersected(tree->viewport()->rect()).center();
}

inline void click(QTreeWidget* tree, QTreeWidgetItem* item)
{
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, spotOf(tree, item));
}

inline void doubleClick(QTreeWidget* tree, QTreeWidgetItem* item)
{
    // An item view takes a double click only after the press that selects the item.
    click(tree, item);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, spotOf(tree, item));
}

inline void click(QTableWidget* table, int row, int column)
{
    QTableWidgetItem* item = table->item(row, column);
    table->scrollToItem(item);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->visualItemRect(item).center());
}

// The child of `parent` whose column-0 text is `text`, or nullptr.
inline QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& text)
{
    for (int i = 0; parent && i < parent->childCount(); ++i) {
        if (parent->child(i)->text(0) == text) {
            return parent->child(i);
        }
    }
    return nullptr;
}

} // namespace Clicks
