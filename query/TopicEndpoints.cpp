#include "TopicEndpoints.h"

#include "DiscoveryMirror.h"
#include "DomainWalk.h"
#include "MonitorLib.h"
#include "ShownName.h"

#include <mutex>

TopicEndpoints collectTopicEndpoints(MonitorLib& monitor, uint32_t domainId,
                                     const std::string& topicName)
{
    TopicEndpoints result;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    mirror.sync(monitor);
    const WatchedDomain* domain = mirror.domain(domainId);
    if (!domain) {
        return result;
    }
    mirror.report(domainId, DiscoveryMirror::EndpointQueries);
    DomainWalk walk(*monitor.domains.at(domainId).m_metaParticipant);
    auto keep = [&walk](std::map<std::string, ProcessIdentity>& endpoints, const auto& endpoint) {
        if (endpoint.placed) {
            endpoints[endpoint.key()] = endpoint.process;
            return;
        }
        // Its participant could not be had: asked again, with the line when it still fails.
        ParticipantSysInfo owner;
        if (walk.ownerSysInfo(endpoint.record->participant_key, owner)) {
            endpoints[endpoint.key()] = ProcessIdentity::of(owner);
        }
    };
    for (const auto& topic : domain->topics) {
        if (!ShownName::matches(topic.first, topicName)) {
            continue;
        }
        for (const WatchedWriter& writer : topic.second->writers) {
            keep(result.writers, writer);
        }
        for (const WatchedReader& reader : topic.second->readers) {
            keep(result.readers, reader);
        }
    }
    return result;
}
