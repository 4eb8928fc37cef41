#include "PhysicalTree.h"

#include "DiscoveryMirror.h"
#include "MonitorLib.h"

#include <mutex>

PhysicalTree collectPhysicalTree(MonitorLib& monitor)
{
    PhysicalTree tree;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    mirror.sync(monitor);
    for (const WatchedDomain& domain : mirror.endpoints().domains) {
        mirror.report(domain.id, DiscoveryMirror::ParticipantQueries);
        mirror.eachProcess(domain.id, [&tree](const ProcessIdentity& process) {
            tree[ProcessGroup{process.pid, process.hostName, process.ips}].insert(
                process.processName);
        });
    }
    return tree;
}
