// When the monitor first saw an entity join and, if it is gone, when it last left.
#pragma once

#include "EventStamp.h"

#include <optional>

struct EntityLifetime
{
    EventStamp firstSeen;
    // Empty while the entity is there; cleared again when it comes back.
    std::optional<EventStamp> left;
};
