#include "WatchedEndpoints.h"

#include "DomainWalk.h"
#include "HandleText.h"

#include <mutex>
#include <set>
#include <unordered_map>

using namespace ZORVAN;

template <class Record> std::string WatchedEndpoint<Record>::key() const
{
    return HandleText::keyOf(record.key);
}

template <class Record> QString WatchedEndpoint<Record>::handleText() const
{
    return HandleText::text(key());
}

template <class Record> QString WatchedEndpoint<Record>::processText() const
{
    return QString::fromUtf8(process.processName.data(), int(process.processName.size())) +
           QLatin1Char(':') + QString::number(process.pid);
}

template struct WatchedEndpoint<PublicationBuiltinTopicData>;
template struct WatchedEndpoint<SubscriptionBuiltinTopicData>;

size_t WatchedDomain::writerCount() const
{
    size_t count = 0;
    for (const auto& topic : topics) {
        count += topic.second.writers.size();
    }
    return count;
}

size_t WatchedDomain::readerCount() const
{
    size_t count = 0;
    for (const auto& topic : topics) {
        count += topic.second.readers.size();
    }
    return count;
}

namespace {

// Where each listed participant runs, by the 16 bytes of its key.
using Owners = std::unordered_map<std::string, ProcessIdentity>;

void countParticipants(MonitorLib& monitor, DomainWalk& walk, WatchedDomain& domain, Owners& owners)
{
    InstanceHandleSeq handles;
    if (!walk.listParticipants(handles)) {
        return;
    }
    std::set<std::pair<std::string, std::string>> hosts;
    std::set<ProcessIdentity> processes;
    for (const InstanceHandle_t& handle : handles) {
        // The monitor's own participants are skipped before their record is asked for.
        if (monitor.ownParticipants.count(handle)) {
            continue;
        }
        ParticipantBuiltinTopicData record;
        if (!walk.fetch(handle, record)) {
            continue;
        }
        ParticipantSysInfo info;
        readSysInfo(record, info);
        const ProcessIdentity process = ProcessIdentity::of(info);
        ++domain.participants;
        hosts.insert({process.hostName, process.ips});
        processes.insert(process);
        owners.emplace(HandleText::keyOf(record.key), process);
    }
    domain.hosts = hosts.size();
    domain.processes = processes.size();
}

template <class Record>
ProcessIdentity ownerOf(DomainWalk& walk, Owners& owners, const Record& record)
{
    const std::string key = HandleText::keyOf(record.participant_key);
    const auto known = owners.find(key);
    if (known != owners.end()) {
        return known->second;
    }
    // Announced before its participant was listed, or the participant's record failed: asked
    // once, remembered either way.
    ParticipantSysInfo info;
    walk.ownerSysInfo(record.participant_key, info);
    return owners.emplace(key, ProcessIdentity::of(info)).first->second;
}

} // namespace

WatchedEndpoints collectWatchedEndpoints(MonitorLib& monitor)
{
    WatchedEndpoints result;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        result.domains.emplace_back();
        WatchedDomain& domain = result.domains.back();
        domain.id = walk.domainId();
        Owners owners;
        countParticipants(monitor, walk, domain, owners);
        auto topicOf = [&domain](const std::string& name) -> WatchedTopic& {
            const auto found = domain.topics.try_emplace(name);
            if (found.second) {
                found.first->second.name = name;
            }
            return found.first->second;
        };
        walk.eachEndpoint(
            [&](const InstanceHandle_t&, PublicationBuiltinTopicData& record) {
                ProcessIdentity process = ownerOf(walk, owners, record);
                topicOf(record.topic_name)
                    .writers.push_back({std::move(record), std::move(process)});
            },
            [&](const InstanceHandle_t&, SubscriptionBuiltinTopicData& record) {
                ProcessIdentity process = ownerOf(walk, owners, record);
                topicOf(record.topic_name)
                    .readers.push_back({std::move(record), std::move(process)});
            });
    });
    return result;
}
