#include "TopicEndpoints.h"

#include "DomainWalk.h"
#include "HandleText.h"
#include "ShownName.h"

#include <mutex>

using namespace ZORVAN;

TopicEndpoints collectTopicEndpoints(MonitorLib& monitor, uint32_t domainId,
                                     const std::string& topicName)
{
    TopicEndpoints result;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    const auto domain = monitor.domains.find(domainId);
    if (domain == monitor.domains.end() || !domain->second.m_metaParticipant) {
        return result;
    }
    DomainWalk walk(*domain->second.m_metaParticipant);
    auto keep = [&](std::map<std::string, ProcessIdentity>& endpoints, const auto& record) {
        ParticipantSysInfo owner;
        if (ShownName::matches(record.topic_name, topicName) &&
            walk.ownerSysInfo(record.participant_key, owner)) {
            endpoints[HandleText::keyOf(record.key)] = ProcessIdentity::of(owner);
        }
    };
    walk.eachEndpoint(
        [&](const InstanceHandle_t&, const auto& record) { keep(result.writers, record); },
        [&](const InstanceHandle_t&, const auto& record) { keep(result.readers, record); });
    return result;
}
