#include "ProcessIndex.h"

#include "DomainWalk.h"
#include "HandleText.h"
#include "ShownName.h"

#include <algorithm>

using namespace ZORVAN;

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

} // namespace

ProcessEndpoints ProcessIndex::lookUp(MonitorLib& monitor, const ProcessIdentity& process)
{
    if (!upToDate(monitor)) {
        build(monitor);
    }
    ProcessEndpoints result;
    const auto found = m_groups.find({process.pid, process.processName});
    if (found == m_groups.end()) {
        return result;
    }
    // The endpoints of the groups whose host bytes read as the shown host (almost always one
    // group), in walk order.
    std::vector<std::pair<const Endpoint*, const Group*>> endpoints;
    for (const Group& group : found->second) {
        if (ShownName::matches(group.hostName, process.hostName) &&
            ShownName::matches(group.ips, process.ips)) {
            for (const Endpoint& endpoint : group.endpoints) {
                endpoints.emplace_back(&endpoint, &group);
            }
        }
    }
    std::stable_sort(endpoints.begin(), endpoints.end(),
                     [](const auto& a, const auto& b) { return a.first->order < b.first->order; });
    for (const auto& shown : endpoints) {
        const Endpoint& endpoint = *shown.first;
        HostEndpointEntry entry;
        entry.hostName = shown.second->hostName;
        entry.ips = shown.second->ips;
        entry.processName = process.processName;
        entry.pid = process.pid;
        entry.topicName = endpoint.topicName;
        entry.typeName = endpoint.typeName;
        entry.domainId = endpoint.domainId;
        result.domains.insert(entry.domainId);
        // A later endpoint with the same key replaces an earlier one, as in a walk.
        (endpoint.reader ? result.readers : result.writers)[endpoint.key] = entry;
    }
    return result;
}

bool ProcessIndex::upToDate(MonitorLib& monitor) const
{
    if (!m_complete || m_signalCount != monitor.signalCount()) {
        return false;
    }
    // Listing is cheap next to fetching every record, and catches what the middleware has
    // discovered before the polling thread announced it.
    size_t next = 0;
    bool same = true;
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        if (next == m_lists.size()) {
            same = false;
            return false;
        }
        const DomainLists& built = m_lists[next++];
        DomainLists now;
        now.domainId = walk.domainId();
        now.participant = &walk.participant();
        same = walk.listWriters(now.writers, DomainWalk::Listing::Silent) &&
               walk.listReaders(now.readers, DomainWalk::Listing::Silent) && now == built;
        return same;
    });
    return same && next == m_lists.size();
}

void ProcessIndex::build(MonitorLib& monitor)
{
    ++m_builds;
    m_groups.clear();
    m_lists.clear();
    m_signalCount = monitor.signalCount();
    m_complete = true;
    size_t order = 0;
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        DomainLists lists;
        lists.domainId = walk.domainId();
        lists.participant = &walk.participant();
        // Each participant's record is fetched once; one that cannot be fetched is asked again
        // for each of its endpoints, which prints the failure line each time, as a walk would.
        std::map<std::string, ParticipantSysInfo> owners;
        auto add = [&](const auto& record, bool reader) {
            const std::string ownerKey = HandleText::keyOf(record.participant_key);
            auto owner = owners.find(ownerKey);
            if (owner == owners.end()) {
                ParticipantSysInfo info;
                if (!walk.ownerSysInfo(record.participant_key, info)) {
                    m_complete = false;
                    return;
                }
                owner = owners.emplace(ownerKey, info).first;
            }
            const ParticipantSysInfo& info = owner->second;
            std::vector<Group>& groups = m_groups[{info.pid, info.processName}];
            auto group = std::find_if(groups.begin(), groups.end(), [&info](const Group& g) {
                return g.hostName == info.hostName && g.ips == info.ips;
            });
            if (group == groups.end()) {
                group = groups.insert(groups.end(), Group{info.hostName, info.ips, {}});
            }
            group->endpoints.push_back(
                Endpoint{HandleText::keyOf(record.key), fromUtf8(record.topic_name),
                         fromUtf8(record.type_name), lists.domainId, reader, order++});
        };
        // Each record fetched into a fresh one; a failed fetch leaves its endpoint out.
        auto fetchEach = [&](const InstanceHandleSeq& handles, auto kind, bool reader) {
            for (const InstanceHandle_t& handle : handles) {
                decltype(kind) record;
                if (walk.fetch(handle, record)) {
                    add(record, reader);
                } else {
                    m_complete = false;
                }
            }
        };
        // A failed writer listing leaves the domain's readers out, as every endpoint walk does;
        // a failed listing visits nothing of its kind.
        bool listed = walk.listWriters(lists.writers);
        if (!listed) {
            lists.writers.clear();
        }
        fetchEach(lists.writers, PublicationBuiltinTopicData(), false);
        listed = listed && walk.listReaders(lists.readers);
        if (!listed) {
            lists.readers.clear();
        }
        fetchEach(lists.readers, SubscriptionBuiltinTopicData(), true);
        m_complete = m_complete && listed;
        m_lists.push_back(std::move(lists));
    });
}
