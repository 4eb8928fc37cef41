// The readers and writers of every process that runs a discovered participant, grouped by the
// process as announced, so that what one process has is a look-up instead of a walk over every
// endpoint of every watched domain. Built in one walk and kept while nothing has changed.
#pragma once

#include "HostEndpointEntry.h"
#include "ProcessEndpoints.h"
#include "ProcessIdentity.h"
#include "ZorvanTypes.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class MonitorLib;
struct WatchedTopic;

namespace ZORVAN {
class DomainParticipant;
}

class ProcessIndex
{
public:
    // What `process` has, as collectProcessEndpoints() describes it. The index is built again
    // first when it may be out of date: the monitor has announced a change since it was built,
    // a domain came or went, a domain's writer or reader list is not the one it was built from,
    // or a query failed while it was built (so a lasting failure prints its line on every
    // look-up, as a walk would). The caller holds monitor.mutex.
    ProcessEndpoints lookUp(MonitorLib& monitor, const ProcessIdentity& process);

    // How many times the index has been built (for tests).
    uint64_t builds() const { return m_builds; }
    // How many times it has been brought up to date without being built anew (for tests).
    uint64_t updates() const { return m_updates; }

private:
    // The lists of one domain the index was built from.
    struct DomainLists
    {
        uint32_t domainId = 0;
        const ZORVAN::DomainParticipant* participant = nullptr;
        ZORVAN::InstanceHandleSeq writers;
        ZORVAN::InstanceHandleSeq readers;
        bool operator==(const DomainLists& other) const
        {
            return domainId == other.domainId && participant == other.participant &&
                   writers == other.writers && readers == other.readers;
        }
    };
    // One endpoint; `order` is its place in the walk, for merging groups as the walk would.
    struct Endpoint
    {
        std::string key;
        QString topicName;
        QString typeName;
        uint32_t domainId = 0;
        bool reader = false;
        size_t order = 0;
    };
    // The endpoints of one process as announced: its host bytes and its endpoints in walk order.
    struct Group
    {
        std::string hostName;
        std::string ips;
        std::vector<Endpoint> endpoints;
    };

    bool upToDate(MonitorLib& monitor) const;
    // Whether the watched domains are the entries indexed.
    bool sameDomains(MonitorLib& monitor) const;
    // Indexes everything anew, or brings the index to the discovery mirror's topics that
    // changed since (their snapshots are not the ones indexed).
    void build(MonitorLib& monitor);
    void update(MonitorLib& monitor);
    void index(MonitorLib& monitor);
    template <class Endpoints>
    void drop(uint32_t domainId, const Endpoints& endpoints, bool reader);

    // (process id, process name) to the groups that announce them
    std::map<std::pair<uint32_t, std::string>, std::vector<Group>> m_groups;
    std::vector<DomainLists> m_lists;
    // the serials of the watched domains' entries, ascending by domain
    std::vector<uint64_t> m_serials;
    // the topic snapshots indexed, by domain and name
    std::map<std::pair<uint32_t, std::string>, std::shared_ptr<const WatchedTopic>> m_topics;
    size_t m_order = 0;
    uint64_t m_updates = 0;
    uint64_t m_signalCount = 0;
    bool m_complete = false;
    uint64_t m_builds = 0;
};
