// Where a participant, and so each of its endpoints, runs: the host, address list, process
// name and id from its system information (raw UTF-8 bytes as announced or converted).
#pragma once

#include "ParticipantSysInfo.h"

#include <cstdint>
#include <string>
#include <tuple>

struct ProcessIdentity
{
    std::string hostName;
    std::string ips;
    std::string processName;
    uint32_t pid = 0;

    static ProcessIdentity of(const ParticipantSysInfo& info)
    {
        return ProcessIdentity{info.hostName, info.ips, info.processName, info.pid};
    }

    bool operator==(const ProcessIdentity& other) const
    {
        return std::tie(hostName, ips, processName, pid) ==
               std::tie(other.hostName, other.ips, other.processName, other.pid);
    }
    bool operator!=(const ProcessIdentity& other) const { return !(*this == other); }
    bool operator<(const ProcessIdentity& other) const
    {
        return std::tie(hostName, ips, processName, pid) <
               std::tie(other.hostName, other.ips, other.processName, other.pid);
    }
};
