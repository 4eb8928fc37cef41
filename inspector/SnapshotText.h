// The snapshot as a listing for a terminal: per domain one block per topic with its writers and
// readers and where each runs (process:pid on host), then the participants and the problems.
#pragma once

#include "DocumentHeader.h"
#include "ProblemReport.h"
#include "Snapshot.h"

#include <string>

namespace SnapshotText {

std::string listing(const DocumentHeader& header, const Snapshot& snapshot,
                    const ProblemReport& problems);

// The first line of every text listing: command, domains, time, whether discovery settled.
std::string headline(const DocumentHeader& header, const std::vector<uint32_t>& domains);

} // namespace SnapshotText
