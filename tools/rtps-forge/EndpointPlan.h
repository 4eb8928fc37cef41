// One forged data writer or data reader as its participant announces it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct EndpointPlan
{
    uint32_t entityId = 0;
    bool writer = true;
    std::string topic;
    std::string type;
    bool reliable = true;
    uint32_t durability = 0; // 0 volatile, 1 transient local, 2 transient, 3 persistent
    std::vector<std::string> partitions;
    int32_t deadlineSeconds = 0;    // 0: none announced (an infinite period)
    int32_t livelinessSeconds = 0;  // automatic with this lease; 0: none announced (infinite)
    bool bySourceTimestamp = false; // destination order; false: none announced (by reception)
    // When set, announced as it stands instead of the encoding of the fields above.
    std::string payload;
};
