// The rows of one writer-versus-reader comparison below a counterpart's top-level row of the
// match panel. The same call builds them and later brings them up to date in place, so that
// what the operator opened or closed stays as it was when either side changes.
#pragma once

#include "CompatibilityKey.h"
#include "Verdict.h"

#include <QColor>
#include <QString>

class QTreeWidgetItem;

namespace ComparisonRows {

struct Side
{
    QString typeName;
    // The side's announcement; null when its record could not be had.
    const CompatibilityKey* key = nullptr;
};

// Builds or updates the rows below `top`. Without both announcements the comparison stops
// after the lone "durability" row. A row whose rule the pair breaks (as `verdict` says; none
// when the pair was not judged) shows its texts in brokenColour(), with the reason as its
// tooltip. Returns whether the whole comparison is shown.
bool fill(QTreeWidgetItem* top, const Side& writer, const Side& reader, const Verdict* verdict);

// Opens every row below `top`, at every depth, so one click on `top` shows everything.
void expandBelow(QTreeWidgetItem* top);

QColor brokenColour();

} // namespace ComparisonRows
