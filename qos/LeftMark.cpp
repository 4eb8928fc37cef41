#include "LeftMark.h"

#include "EventTime.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPalette>
#include <QTableWidgetItem>
#include <QTreeWidgetItem>

namespace LeftMark {

QString text(const EventStamp& when)
{
    return QCoreApplication::translate("LeftMark", "离开于 %1").arg(EventTime::clock(when));
}

QBrush brush()
{
    return QBrush(QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
}

void setGreyed(QTreeWidgetItem* item, bool greyed)
{
    if (isGreyed(item) == greyed) {
        return;
    }
    for (int column = 0; column < item->columnCount(); ++column) {
        item->setData(column, Qt::ForegroundRole, greyed ? QVariant(brush()) : QVariant());
    }
}

void setGreyed(QTableWidgetItem* item, bool greyed)
{
    if (isGreyed(item) != greyed) {
        item->setData(Qt::ForegroundRole, greyed ? QVariant(brush()) : QVariant());
    }
}

bool isGreyed(const QTreeWidgetItem* item)
{
    return item->data(0, Qt::ForegroundRole).isValid();
}

bool isGreyed(const QTableWidgetItem* item)
{
    return item->data(Qt::ForegroundRole).isValid();
}

} // namespace LeftMark
