#include "Counterparts.h"

#include "DomainWalk.h"
#include "ShownName.h"

#include <mutex>

using namespace ZORVAN;

Counterparts scanCounterparts(MonitorLib& monitor, uint32_t domainId, const std::string& topicName)
{
    Counterparts found;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        const bool inDomain = walk.domainId() == domainId;
        auto keep = [&](auto& endpoints, const InstanceHandle_t& handle, auto& record) {
            if (inDomain && ShownName::matches(record.topic_name, topicName)) {
                endpoints.push_back({handle, std::move(record)});
            }
        };
        walk.eachEndpoint(
            [&](const InstanceHandle_t& h, auto& record) { keep(found.writers, h, record); },
            [&](const InstanceHandle_t& h, auto& record) { keep(found.readers, h, record); });
    });
    return found;
}
