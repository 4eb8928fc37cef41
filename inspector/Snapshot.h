// Everything the watched domains have discovered at one moment, as plain data copied out under
// the monitor's mutex: the participants with their system information, and the complete
// records of every data writer and data reader.
#pragma once

#include "BuiltinTopicData.h"
#include "Counterparts.h"
#include "ParticipantSysInfo.h"

#include <cstdint>
#include <vector>

struct SnapshotParticipant
{
    ZORVAN::InstanceHandle_t handle;
    ZORVAN::ParticipantBuiltinTopicData record;
    ParticipantSysInfo info;
};

struct SnapshotDomain
{
    uint32_t id = 0;
    // False when a listing or a record fetch failed: what is here is then only part of it.
    bool complete = true;
    // in listing order; the monitor's own participant left out
    std::vector<SnapshotParticipant> participants;
    std::vector<DiscoveredWriter> writers;
    std::vector<DiscoveredReader> readers;
};

struct Snapshot
{
    // the watched domains, ascending
    std::vector<SnapshotDomain> domains;
};
