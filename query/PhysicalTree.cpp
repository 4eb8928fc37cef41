#include "PhysicalTree.h"

#include "DomainWalk.h"

#include <mutex>

using namespace ZORVAN;

PhysicalTree collectPhysicalTree(MonitorLib& monitor)
{
    PhysicalTree tree;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        InstanceHandleSeq handles;
        if (!walk.listParticipants(handles)) {
            return;
        }
        for (const InstanceHandle_t& handle : handles) {
            // The monitor's own participants are skipped before their record is asked for.
            if (monitor.ownParticipants.count(handle)) {
                continue;
            }
            ParticipantSysInfo info;
            if (walk.sysInfo(handle, info)) {
                tree[ProcessGroup{info.pid, info.hostName, info.ips}].insert(info.processName);
            }
        }
    });
    return tree;
}
