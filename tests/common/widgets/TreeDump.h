// Trees and tables as text lines, so a test can compare a whole view with what it expects.
#pragma once

#include <QStringList>
#include <QTableWidget>
#include <QTreeWidget>

namespace TreeDump {

// One line per item: two spaces per depth, then the texts of its columns joined with "|"
// (trailing empty columns dropped).
inline void addItem(const QTreeWidgetItem* item, int depth, QStringList& lines)
{
    QStringList columns;
    for (int c = 0; c < item->columnCount(); ++c) {
        columns << item->text(c);
    }
    while (!columns.isEmpty() && columns.last().isEmpty()) {
        columns.removeLast();
    }
    lines << QString(2 * depth, QLatin1Char(' ')) + columns.join(QLatin1Char('|'));
    for (int i = 0; i < item->childCount(); ++i) {
        addItem(item->child(i), depth + 1, lines);
    }
}

inline QStringList lines(const QTreeWidget* tree)
{
    QStringList result;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        addItem(tree->topLevelItem(i), 0, result);
    }
    return result;
}

// One line per row, the cells joined with "|".
inline QStringList lines(const QTableWidget* table)
{
    QStringList result;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) {
            const QTableWidgetItem* item = table->item(r, c);
            cells << (item ? item->text() : QStringLiteral("<none>"));
        }
        result << cells.join(QLatin1Char('|'));
    }
    return result;
}

// True when every item below `item` is expanded.
inline bool allExpanded(const QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->childCount() > 0 &&
            (!item->child(i)->isExpanded() || !allExpanded(item->child(i)))) {
            return false;
        }
    }
    return true;
}

} // namespace TreeDump
