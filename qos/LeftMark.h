// How the tabs and panels show an entity that has left the network while they keep showing it:
// its items greyed, and a tooltip that says when it left. Everything that follows the network
// in place marks its items the same way.
#pragma once

#include "EventStamp.h"

#include <QBrush>
#include <QString>

class QTableWidgetItem;
class QTreeWidgetItem;

namespace LeftMark {

// "离开于 hh:mm:ss" in local time.
QString text(const EventStamp& when);

// The colour of a greyed item: the palette's text colour of a disabled widget.
QBrush brush();

// Greys every column of `item` (true) or gives it back its normal colour (false). Touches the
// item only when that changes something.
void setGreyed(QTreeWidgetItem* item, bool greyed);
void setGreyed(QTableWidgetItem* item, bool greyed);

// Whether setGreyed(item, true) stands.
bool isGreyed(const QTreeWidgetItem* item);
bool isGreyed(const QTableWidgetItem* item);

} // namespace LeftMark
