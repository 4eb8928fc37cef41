#include "ProcessIndex.h"

#include "DiscoveryMirror.h"
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
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    mirror.sync(monitor);
    size_t order = 0;
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        DomainLists lists;
        lists.domainId = walk.domainId();
        lists.participant = &walk.participant();
        // The lists the mirror was brought up to date with, for upToDate() to compare.
        if (!walk.listWriters(lists.writers, DomainWalk::Listing::Silent) ||
            !walk.listReaders(lists.readers, DomainWalk::Listing::Silent)) {
            m_complete = false;
        }
        m_lists.push_back(std::move(lists));
        const WatchedDomain* domain = mirror.domain(walk.domainId());
        if (!domain) {
            return;
        }
        mirror.report(domain->id, DiscoveryMirror::EndpointQueries);
        if (!mirror.complete(domain->id)) {
            m_complete = false;
        }
        auto add = [&](const auto& endpoint, bool reader) {
            ProcessIdentity process = endpoint.process;
            if (!endpoint.placed) {
                // Asked again for each of its endpoints, which prints the failure line each
                // time, as a walk would.
                ParticipantSysInfo info;
                if (!walk.ownerSysInfo(endpoint.record->participant_key, info)) {
                    m_complete = false;
                    return;
                }
                process = ProcessIdentity::of(info);
            }
            std::vector<Group>& groups = m_groups[{process.pid, process.processName}];
            auto group = std::find_if(groups.begin(), groups.end(), [&process](const Group& g) {
                return g.hostName == process.hostName && g.ips == process.ips;
            });
            if (group == groups.end()) {
                group = groups.insert(groups.end(), Group{process.hostName, process.ips, {}});
            }
            const auto& record = *endpoint.record;
            // Keys are unique within a domain and side; across domains the later domain wins,
            // as in a walk, which `order` keeps.
            group->endpoints.push_back(Endpoint{endpoint.key(), fromUtf8(record.topic_name),
                                                fromUtf8(record.type_name), domain->id, reader,
                                                order++});
        };
        for (const auto& topic : domain->topics) {
            for (const WatchedWriter& writer : topic.second->writers) {
                add(writer, false);
            }
            for (const WatchedReader& reader : topic.second->readers) {
                add(reader, true);
            }
        }
    });
}
