// What one process has in the watched domains: its data readers and writers, and the domains
// they are in.
#pragma once

#include "HostEndpointEntry.h"
#include "ProcessIdentity.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

class MonitorLib;
class ProcessIndex;

// Endpoints keyed by the 16 bytes of their instance handle, ascending byte-wise.
struct ProcessEndpoints
{
    std::map<std::string, HostEndpointEntry> readers;
    std::map<std::string, HostEndpointEntry> writers;
    std::set<uint32_t> domains;
};

// Finds every reader and writer whose participant announces exactly this process: the same
// process name and id, and the host name and address list as ShownName matches them (the
// process comes from what the physical view shows). A failed writer listing leaves out that
// domain's readers too; an endpoint whose record or whose participant's record cannot be
// fetched is left out. Takes monitor.mutex. Looks the process up in the monitor's process
// index, which walks the domains only when something may have changed since its last walk, and
// prints the line of each failed query of that walk.
ProcessEndpoints collectProcessEndpoints(MonitorLib& monitor, const ProcessIdentity& process);

// The index behind collectProcessEndpoints(); use it only while holding MonitorLib::mutex.
ProcessIndex& processIndex();
