// One entry of the discovery event log: a participant, data writer or data reader of a watched
// domain joined, left, or (reported by whoever notices it) changed its QoS.
#pragma once

#include "DiscoveryObserver.h"
#include "EntityDescription.h"
#include "EventStamp.h"

#include <QStringList>
#include <cstdint>
#include <memory>

enum class DiscoveryEventKind
{
    Joined,
    Left,
    QosChanged
};

struct DiscoveryEvent
{
    // Numbered by the log from 1 in the order of recording; 0 until recorded.
    uint64_t seq = 0;
    EventStamp time;
    uint32_t domainId = 0;
    DiscoveryEventKind event = DiscoveryEventKind::Joined;
    DiscoveredKind kind = DiscoveredKind::Participant;
    // Never null in a recorded event.
    std::shared_ptr<const EntityDescription> entity;
    // QosChanged: the DDS names of the policies that changed ("user_data", "partition", ...).
    QStringList policies;
};
