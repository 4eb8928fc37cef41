// When an event happened: wall-clock milliseconds since the Unix epoch, and the local offset
// from UTC in force then, so that the time shows as it was read wherever it is printed later.
#pragma once

#include <cstdint>

struct EventStamp
{
    int64_t epochMs = 0;
    int32_t utcOffsetS = 0;

    bool operator==(const EventStamp& other) const
    {
        return epochMs == other.epochMs && utcOffsetS == other.utcOffsetS;
    }
    bool operator!=(const EventStamp& other) const { return !(*this == other); }
};
