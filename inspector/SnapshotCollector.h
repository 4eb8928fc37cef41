// Copies what the watched domains have discovered into a Snapshot: one walk over each domain's
// participants, writers and readers under the monitor's mutex; everything else is done on the
// copy after the unlock.
#pragma once

#include "Snapshot.h"

class MonitorLib;

namespace SnapshotCollector {

// Takes monitor.mutex for the whole walk and prints the line of each failed query. A domain
// whose listing or fetch failed is marked incomplete; a failed writer listing leaves out its
// readers too, as every walk over a domain's endpoints does.
Snapshot collect(MonitorLib& monitor);

} // namespace SnapshotCollector
