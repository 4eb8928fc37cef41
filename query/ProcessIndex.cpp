#include "ProcessIndex.h"

#include "DiscoveryMirror.h"
#include "DomainWalk.h"
#include "HandleText.h"
#include "ShownName.h"

#include <algorithm>
#include <tuple>

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
        if (m_complete && sameDomains(monitor)) {
            update(monitor);
        } else {
            build(monitor);
        }
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
    // Domain by domain: a key in two domains is the later domain's, as in a walk.
    std::stable_sort(endpoints.begin(), endpoints.end(), [](const auto& a, const auto& b) {
        return std::tie(a.first->domainId, a.first->order) <
               std::tie(b.first->domainId, b.first->order);
    });
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

bool ProcessIndex::sameDomains(MonitorLib& monitor) const
{
    size_t next = 0;
    for (const auto& entry : monitor.domains) {
        if (!entry.second.m_metaParticipant) {
            continue;
        }
        if (next == m_serials.size() || m_serials[next] != entry.second.serial) {
            return false;
        }
        ++next;
    }
    return next == m_serials.size();
}

void ProcessIndex::build(MonitorLib& monitor)
{
    ++m_builds;
    m_groups.clear();
    m_topics.clear();
    m_complete = true;
    index(monitor);
}

void ProcessIndex::update(MonitorLib& monitor)
{
    ++m_updates;
    index(monitor);
}

template <class Endpoints>
void ProcessIndex::drop(uint32_t domainId, const Endpoints& endpoints, bool reader)
{
    for (const auto& endpoint : endpoints) {
        const auto found = m_groups.find({endpoint.process.pid, endpoint.process.processName});
        if (found == m_groups.end()) {
            continue;
        }
        for (Group& group : found->second) {
            if (group.hostName != endpoint.process.hostName || group.ips != endpoint.process.ips) {
                continue;
            }
            const std::string key = endpoint.key();
            group.endpoints.erase(std::remove_if(group.endpoints.begin(), group.endpoints.end(),
                                                 [&](const Endpoint& e) {
                                                     return e.domainId == domainId &&
                                                            e.reader == reader && e.key == key;
                                                 }),
                                  group.endpoints.end());
        }
    }
}

void ProcessIndex::index(MonitorLib& monitor)
{
    m_lists.clear();
    m_serials.clear();
    m_signalCount = monitor.signalCount();
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    mirror.sync(monitor);
    std::map<std::pair<uint32_t, std::string>, WatchedTopicPtr> indexed;
    for (const auto& entry : monitor.domains) {
        if (!entry.second.m_metaParticipant) {
            continue;
        }
        m_serials.push_back(entry.second.serial);
        DomainWalk walk(*entry.second.m_metaParticipant);
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
            continue;
        }
        mirror.report(domain->id, DiscoveryMirror::EndpointQueries);
        if (!mirror.complete(domain->id)) {
            m_complete = false;
        }
        auto add = [&](const auto& endpoint, bool reader) {
            ProcessIdentity process = endpoint.process;
            if (!endpoint.placed) {
                // Asked again for each of its endpoints, which prints the failure line each
                // time, as a walk would; the next look-up builds the index anew.
                ParticipantSysInfo info;
                m_complete = false;
                if (!walk.ownerSysInfo(endpoint.record->participant_key, info)) {
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
            group->endpoints.push_back(Endpoint{endpoint.key(), fromUtf8(record.topic_name),
                                                fromUtf8(record.type_name), domain->id, reader,
                                                m_order++});
        };
        // Only topics whose snapshot is not the one indexed are gone through: the endpoints
        // of the old one leave their groups, those of the new one join.
        for (const auto& topic : domain->topics) {
            const auto key = std::make_pair(domain->id, topic.first);
            const auto before = m_topics.find(key);
            if (before != m_topics.end()) {
                if (before->second == topic.second) {
                    indexed.emplace(key, topic.second);
                    m_topics.erase(before);
                    continue;
                }
                drop(domain->id, before->second->writers, false);
                drop(domain->id, before->second->readers, true);
                m_topics.erase(before);
            }
            for (const WatchedWriter& writer : topic.second->writers) {
                add(writer, false);
            }
            for (const WatchedReader& reader : topic.second->readers) {
                add(reader, true);
            }
            indexed.emplace(key, topic.second);
        }
    }
    // Topics no longer there.
    for (const auto& gone : m_topics) {
        drop(gone.first.first, gone.second->writers, false);
        drop(gone.first.first, gone.second->readers, true);
    }
    m_topics = std::move(indexed);
}
