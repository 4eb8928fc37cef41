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
        auto into = [&](auto& endpoints) {
            return [&](const InstanceHandle_t& handle, auto& record) {
                if (walk.domainId() == domainId &&
                    ShownName::matches(record.topic_name, topicName)) {
                    endpoints.push_back({handle, std::move(record)});
                }
            };
        };
        if (walk.eachWriter(into(found.writers))) {
            walk.eachReader(into(found.readers));
        }
    });
    return found;
}
