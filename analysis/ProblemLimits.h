// How many entries the problems list gives one topic at most, so that a topic whose thousand
// writers and thousand readers cannot match keeps a list (and a tree) of bounded size: one
// more entry per level says how many are left out.
#pragma once

#include <cstdint>
#include <limits>

struct ProblemLimits
{
    uint64_t pairsPerTopic = 50;     // error entries: pairs that cannot match
    uint64_t endpointsPerTopic = 50; // warning entries: endpoints that match nothing

    // Every entry, for a caller that wants them all (a million for such a topic).
    static ProblemLimits unlimited()
    {
        return {std::numeric_limits<uint64_t>::max(), std::numeric_limits<uint64_t>::max()};
    }
};
