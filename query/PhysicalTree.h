// The physical picture of the watched domains: the processes the discovered participants run
// in, grouped by process id and host, from the system information they announce.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>

class MonitorLib;

// One host as announced: its name and its address list (raw UTF-8 bytes).
struct PhysicalHost
{
    std::string hostName;
    std::string ips;

    bool operator<(const PhysicalHost& other) const
    {
        return std::tie(hostName, ips) < std::tie(other.hostName, other.ips);
    }
    bool operator==(const PhysicalHost& other) const
    {
        return hostName == other.hostName && ips == other.ips;
    }
};

// One process id on one host. Grouping by the host as well keeps processes of different hosts
// apart when their ids collide (every containerised process has id 1).
struct ProcessGroup
{
    uint32_t pid;
    std::string hostName;
    std::string ips;

    PhysicalHost host() const { return PhysicalHost{hostName, ips}; }
    bool operator<(const ProcessGroup& other) const
    {
        return std::tie(pid, hostName, ips) < std::tie(other.pid, other.hostName, other.ips);
    }
    bool operator==(const ProcessGroup& other) const
    {
        return pid == other.pid && hostName == other.hostName && ips == other.ips;
    }
};

// Each group with the process names (raw UTF-8 bytes) reported for it, ascending.
using PhysicalTree = std::map<ProcessGroup, std::set<std::string>>;

// Reads the system information of every discovered participant of every watched domain, the
// monitor's own participants left out. A domain whose participant list cannot be had adds
// nothing; a participant whose record cannot be fetched is left out. Takes monitor.mutex and brings
// the discovery mirror up to date, which prints the line of each failed query.
PhysicalTree collectPhysicalTree(MonitorLib& monitor);
