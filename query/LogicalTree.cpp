#include "LogicalTree.h"

#include "DiscoveryMirror.h"
#include "MonitorLib.h"

#include <mutex>

LogicalTree collectLogicalTree(MonitorLib& monitor)
{
    LogicalTree tree;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    mirror.sync(monitor);
    for (const WatchedDomain& domain : mirror.endpoints().domains) {
        // A domain whose participant cannot list the participants is left out altogether.
        if (!mirror.participantsListed(domain.id)) {
            mirror.report(domain.id, DiscoveryMirror::ParticipantQueries);
            continue;
        }
        mirror.report(domain.id, DiscoveryMirror::EndpointQueries);
        std::set<std::string>& topics = tree[domain.id];
        for (const auto& topic : domain.topics) {
            topics.insert(topics.end(), topic.first);
        }
    }
    return tree;
}
