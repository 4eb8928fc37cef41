#include "Counterparts.h"

#include "DiscoveryMirror.h"
#include "MonitorLib.h"
#include "ShownName.h"
#include "WatchedEndpoints.h"

#include <mutex>

Counterparts scanCounterparts(MonitorLib& monitor, uint32_t domainId, const std::string& topicName)
{
    Counterparts found;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    mirror.sync(monitor);
    // Every watched domain is walked, as the scan always has.
    for (const WatchedDomain& watched : mirror.endpoints().domains) {
        mirror.report(watched.id, DiscoveryMirror::EndpointQueries);
    }
    const WatchedDomain* domain = mirror.domain(domainId);
    if (!domain) {
        return found;
    }
    for (const auto& topic : domain->topics) {
        if (!ShownName::matches(topic.first, topicName)) {
            continue;
        }
        for (const WatchedWriter& writer : topic.second->writers) {
            found.writers.push_back({writer.handle, *writer.record});
        }
        for (const WatchedReader& reader : topic.second->readers) {
            found.readers.push_back({reader.handle, *reader.record});
        }
    }
    return found;
}

std::optional<std::vector<WatchedTopicPtr>>
counterpartTopics(MonitorLib& monitor, uint32_t domainId, const std::string& topicName)
{
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    mirror.sync(monitor);
    std::vector<WatchedTopicPtr> topics;
    for (const WatchedDomain& domain : mirror.endpoints().domains) {
        if (!mirror.complete(domain.id)) {
            return std::nullopt;
        }
        if (domain.id != domainId) {
            continue;
        }
        for (const auto& topic : domain.topics) {
            if (ShownName::matches(topic.first, topicName)) {
                topics.push_back(topic.second);
            }
        }
    }
    return topics;
}
