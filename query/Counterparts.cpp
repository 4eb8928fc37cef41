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
        const bool listed = walk.eachWriter([&](const InstanceHandle_t& handle, auto& record) {
            keep(found.writers, handle, record);
        });
        if (listed) {
            walk.eachReader([&](const InstanceHandle_t& handle, auto& record) {
                keep(found.readers, handle, record);
            });
        }
    });
    return found;
}
