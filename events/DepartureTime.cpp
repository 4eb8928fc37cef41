#include "DepartureTime.h"

#include "EventTime.h"
#include "MonitorEvents.h"
#include "MonitorLib.h"

#include <mutex>
#include <optional>
#include <vector>

namespace DepartureTime {

namespace {

std::optional<EventStamp> recorded(uint32_t domainId, const std::string& key)
{
    if (const EventLog* events = MonitorEvents::recording()) {
        if (const std::optional<EntityLifetime> lifetime = events->lifetime(domainId, key)) {
            return lifetime->left;
        }
    }
    return std::nullopt;
}

} // namespace

EventStamp of(uint32_t domainId, const std::string& key)
{
    return recorded(domainId, key).value_or(EventTime::now());
}

EventStamp inAnyDomain(MonitorLib& monitor, const std::string& key)
{
    if (!MonitorEvents::recording()) {
        return EventTime::now();
    }
    std::vector<uint32_t> ids;
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        for (const auto& domain : monitor.domains) {
            ids.push_back(domain.first);
        }
    }
    for (uint32_t id : ids) {
        if (const std::optional<EventStamp> left = recorded(id, key)) {
            return *left;
        }
    }
    return EventTime::now();
}

} // namespace DepartureTime
