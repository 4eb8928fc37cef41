#include "ProcessEndpoints.h"

#include "DomainWalk.h"
#include "HandleText.h"
#include "ShownName.h"

#include <mutex>

using namespace ZORVAN;

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

bool runsIn(const ParticipantSysInfo& info, const ProcessIdentity& process)
{
    return info.pid == process.pid && info.processName == process.processName &&
           ShownName::matches(info.hostName, process.hostName) &&
           ShownName::matches(info.ips, process.ips);
}

} // namespace

ProcessEndpoints collectProcessEndpoints(MonitorLib& monitor, const ProcessIdentity& process)
{
    ProcessEndpoints result;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        auto keep = [&](std::map<std::string, HostEndpointEntry>& endpoints, const auto& record) {
            ParticipantSysInfo owner;
            if (!walk.ownerSysInfo(record.participant_key, owner) || !runsIn(owner, process)) {
                return;
            }
            HostEndpointEntry entry;
            entry.hostName = owner.hostName;
            entry.ips = owner.ips;
            entry.processName = owner.processName;
            entry.pid = owner.pid;
            entry.topicName = fromUtf8(record.topic_name);
            entry.typeName = fromUtf8(record.type_name);
            entry.domainId = walk.domainId();
            result.domains.insert(entry.domainId);
            endpoints[HandleText::keyOf(record.key)] = entry;
        };
        walk.eachEndpoint(
            [&](const InstanceHandle_t&, const auto& record) { keep(result.writers, record); },
            [&](const InstanceHandle_t&, const auto& record) { keep(result.readers, record); });
    });
    return result;
}
