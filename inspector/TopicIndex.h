// The topics of one domain of a snapshot, by name: the type names announced on each and which
// writers and readers are on it. Shared by the document and the text listing.
#pragma once

#include "Snapshot.h"

#include <map>
#include <set>
#include <string>
#include <vector>

struct TopicEntry
{
    std::set<std::string> types; // ascending; usually one
    std::vector<size_t> writers; // indexes into SnapshotDomain::writers, listing order
    std::vector<size_t> readers;
};

// Topic name (bytes as announced) to its entry, ascending byte-wise.
using TopicIndex = std::map<std::string, TopicEntry>;

TopicIndex indexTopics(const SnapshotDomain& domain);
