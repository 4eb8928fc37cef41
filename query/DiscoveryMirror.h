// What every watched domain has discovered, kept from one look to the next so that bringing it
// up to date costs what changed rather than what exists: each listing is compared with the one
// before, and only the records of new handles, of handles whose record changed since and of
// fetches that failed last time are asked for. Records are shared with the middleware, never
// copied; a topic is a shared, immutable snapshot that is replaced when its endpoints change,
// so whoever keeps a collection can tell what changed by comparing pointers.
#pragma once

#include "WatchedEndpoints.h"
#include "ZorvanTypes.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class DomainWalk;
class MonitorLib;

namespace ZORVAN {
class DomainParticipant;
}

class DiscoveryMirror
{
public:
    // The mirror every collector of the monitor shares (they all run under monitor.mutex).
    static DiscoveryMirror& of(MonitorLib& monitor);

    // Brings the mirror up to date with every watched domain: domains that are no longer
    // watched go, new ones are read whole. Queries are silent: whoever shows what the mirror
    // holds reports the failures of the queries its own walk would have made (report()). What
    // could not be listed counts as nothing. The caller holds monitor.mutex.
    void sync(MonitorLib& monitor);

    // What the last sync found, domains ascending.
    const WatchedEndpoints& endpoints() const { return m_endpoints; }
    // The domain's entry in endpoints(); null when it is not watched.
    const WatchedDomain* domain(uint32_t domainId) const;

    // Whether the last sync could list the domain's participants.
    bool participantsListed(uint32_t domainId) const;

    // Whether every query of the domain's last sync succeeded.
    bool complete(uint32_t domainId) const;

    // Which queries report() covers.
    enum Queries
    {
        ParticipantQueries = 1, // listing the participants, fetching their records
        EndpointQueries = 2,    // listing writers then readers, fetching their records
    };
    // Prints the line of each query of those kinds that failed in the domain in the last sync,
    // as a walk making them would have: a failed participant listing, a line per participant
    // record that could not be had, a failed writer listing (and then nothing of the readers),
    // a line per writer record, a failed reader listing, a line per reader record.
    void report(uint32_t domainId, int queries) const;

    // Calls visit(const ProcessIdentity&) once for each process the domain's participants
    // (the monitor's own left out) announce, ascending.
    template <class Visit> void eachProcess(uint32_t domainId, Visit&& visit) const
    {
        const auto found = m_states.find(domainId);
        if (found == m_states.end()) {
            return;
        }
        for (const auto& process : found->second.processes) {
            visit(process.first);
        }
    }

    // How many records the syncs have fetched (for tests and the benchmark).
    uint64_t fetches() const { return m_fetches; }

private:
    struct HandleHash
    {
        size_t operator()(const ZORVAN::InstanceHandle_t& handle) const;
    };
    using HandleSet = std::unordered_set<ZORVAN::InstanceHandle_t, HandleHash>;
    // What one side (writers or readers) of a domain needs between syncs.
    struct Side
    {
        ZORVAN::InstanceHandleSeq listed;
        std::unordered_map<ZORVAN::InstanceHandle_t, std::string, HandleHash> topicOf;
        HandleSet failed;
    };
    struct State
    {
        uint64_t serial = 0; // of the monitor's DomainEntry

        bool participantsListed = false;
        bool writersListed = false;
        bool readersListed = false;
        ZORVAN::InstanceHandleSeq participants;
        // participant handle to the 16 bytes of its key, and key to where it runs
        std::unordered_map<ZORVAN::InstanceHandle_t, std::string, HandleHash> keyOf;
        std::unordered_map<std::string, ProcessIdentity> owners;
        HandleSet failedParticipants;
        std::map<std::pair<std::string, std::string>, size_t> hosts;
        std::map<ProcessIdentity, size_t> processes;
        // keys of participants whose endpoints were kept with the defaults
        std::set<std::string> unknownOwners;
        // where the participants not listed run, as asked in this sync
        std::unordered_map<std::string, std::pair<ProcessIdentity, bool>> asked;
        Side writers;
        Side readers;
    };
    template <class Record> struct Edit;
    struct TopicEdits;

    void syncDomain(MonitorLib& monitor, DomainWalk& walk, State& state, WatchedDomain& domain,
                    const HandleSet& changed);
    // Returns the keys of participants whose place changed, or that were waited for.
    std::set<std::string> syncParticipants(MonitorLib& monitor, DomainWalk& walk, State& state,
                                           WatchedDomain& domain, const HandleSet& changed);
    void dropParticipant(State& state, const ZORVAN::InstanceHandle_t& handle);
    template <class Record>
    void syncSide(DomainWalk& walk, State& state, Side& side, const ZORVAN::InstanceHandleSeq& now,
                  const HandleSet& changed, TopicEdits& edits);
    // The endpoint with where its participant runs.
    template <class Record>
    WatchedEndpoint<Record> endpoint(DomainWalk& walk, State& state,
                                     const ZORVAN::InstanceHandle_t& handle,
                                     std::shared_ptr<const Record> record);
    void apply(State& state, WatchedDomain& domain, TopicEdits& edits,
               const std::set<std::string>& movedOwners);

    std::map<uint32_t, State> m_states;
    WatchedEndpoints m_endpoints;
    uint64_t m_revision = 0; // of the monitor's record changes, at the last sync
    uint64_t m_order = 0;
    uint64_t m_fetches = 0;
};
