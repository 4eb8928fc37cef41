#include "LogicalTree.h"

#include "DomainWalk.h"

#include <mutex>

using namespace ZORVAN;

LogicalTree collectLogicalTree(MonitorLib& monitor)
{
    LogicalTree tree;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DomainWalk::eachWatched(monitor, [&tree](DomainWalk& walk) {
        // The participant list is not used; a domain whose participant cannot answer it is left
        // out altogether.
        InstanceHandleSeq participants;
        if (!walk.listParticipants(participants)) {
            return;
        }
        std::set<std::string>& topics = tree[walk.domainId()];
        auto add = [&topics](const InstanceHandle_t&, const auto& record) {
            topics.insert(record.topic_name);
        };
        walk.eachEndpoint(add, add);
    });
    return tree;
}
