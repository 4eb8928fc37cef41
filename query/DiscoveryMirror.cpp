#include "DiscoveryMirror.h"

#include "DomainWalk.h"
#include "FailureLine.h"
#include "HandleText.h"
#include "MonitorLib.h"
#include "ParticipantSysInfo.h"

#include <algorithm>

using namespace ZORVAN;

namespace {

// Splits a listing against the one before into what left and what is new, on the assumption
// that the middleware lists entities in the order it first saw them, so survivors keep their
// relative order and newcomers come at the end. A listing that breaks it only costs fetches:
// whatever is out of place counts as gone and as new, and is read again.
void compare(const InstanceHandleSeq& before, const InstanceHandleSeq& now, InstanceHandleSeq& gone,
             InstanceHandleSeq& added)
{
    size_t next = 0;
    for (const InstanceHandle_t& handle : before) {
        if (next < now.size() && now[next] == handle) {
            ++next;
        } else {
            gone.push_back(handle);
        }
    }
    added.assign(now.begin() + std::ptrdiff_t(next), now.end());
}

bool fetchSilently(DomainWalk& walk, const InstanceHandle_t& handle,
                   std::shared_ptr<const ParticipantBuiltinTopicData>& record)
{
    return walk.participant().get_discovered_participant_record(record, handle) == RETCODE_OK &&
           record;
}

bool fetchSilently(DomainWalk& walk, const InstanceHandle_t& handle,
                   std::shared_ptr<const PublicationBuiltinTopicData>& record)
{
    return walk.participant().get_publication_record(record, handle) == RETCODE_OK && record;
}

bool fetchSilently(DomainWalk& walk, const InstanceHandle_t& handle,
                   std::shared_ptr<const SubscriptionBuiltinTopicData>& record)
{
    return walk.participant().get_subscription_record(record, handle) == RETCODE_OK && record;
}

void printTimes(DiscoveryQuery query, size_t times)
{
    for (size_t i = 0; i < times; ++i) {
        FailureLine::print(query);
    }
}

} // namespace

// What a sync changes in one side of one topic.
template <class Record> struct DiscoveryMirror::Edit
{
    std::unordered_set<InstanceHandle_t, HandleHash> gone;
    // a new record under a handle the topic has
    std::vector<WatchedEndpoint<Record>> replaced;
    // in listing order, after what the topic has
    std::vector<WatchedEndpoint<Record>> added;

    bool empty() const { return gone.empty() && replaced.empty() && added.empty(); }

    void applyTo(std::vector<WatchedEndpoint<Record>>& endpoints) const
    {
        if (!gone.empty()) {
            endpoints.erase(std::remove_if(endpoints.begin(), endpoints.end(),
                                           [this](const WatchedEndpoint<Record>& endpoint) {
                                               return gone.count(endpoint.handle) != 0;
                                           }),
                            endpoints.end());
        }
        for (const WatchedEndpoint<Record>& endpoint : replaced) {
            for (WatchedEndpoint<Record>& shown : endpoints) {
                if (shown.handle == endpoint.handle) {
                    shown = endpoint;
                    break;
                }
            }
        }
        endpoints.insert(endpoints.end(), added.begin(), added.end());
    }
};

struct DiscoveryMirror::TopicEdits
{
    std::map<std::string,
             std::pair<Edit<PublicationBuiltinTopicData>, Edit<SubscriptionBuiltinTopicData>>>
        byTopic;

    Edit<PublicationBuiltinTopicData>& of(const std::string& topic,
                                          const PublicationBuiltinTopicData*)
    {
        return byTopic[topic].first;
    }
    Edit<SubscriptionBuiltinTopicData>& of(const std::string& topic,
                                           const SubscriptionBuiltinTopicData*)
    {
        return byTopic[topic].second;
    }
};

size_t DiscoveryMirror::HandleHash::operator()(const InstanceHandle_t& handle) const
{
    // FNV-1a over what equality compares.
    uint64_t hash = 1469598103934665603ull;
    const uint32_t length = std::min<uint32_t>(handle.length, sizeof(handle.value));
    for (uint32_t i = 0; i < length; ++i) {
        hash = (hash ^ handle.value[i]) * 1099511628211ull;
    }
    hash = (hash ^ handle.length) * 1099511628211ull;
    return size_t((hash ^ handle.isValid) * 1099511628211ull);
}

DiscoveryMirror& DiscoveryMirror::of(MonitorLib&)
{
    // The monitor is one for the process, and so is its mirror; monitor.mutex guards it.
    static DiscoveryMirror mirror;
    return mirror;
}

const WatchedDomain* DiscoveryMirror::domain(uint32_t domainId) const
{
    for (const WatchedDomain& domain : m_endpoints.domains) {
        if (domain.id == domainId) {
            return &domain;
        }
    }
    return nullptr;
}

bool DiscoveryMirror::participantsListed(uint32_t domainId) const
{
    const auto found = m_states.find(domainId);
    return found != m_states.end() && found->second.participantsListed;
}

bool DiscoveryMirror::complete(uint32_t domainId) const
{
    const auto found = m_states.find(domainId);
    if (found == m_states.end()) {
        return false;
    }
    const State& state = found->second;
    return state.participantsListed && state.writersListed && state.readersListed &&
           state.failedParticipants.empty() && state.writers.failed.empty() &&
           state.readers.failed.empty();
}

void DiscoveryMirror::report(uint32_t domainId, int queries) const
{
    const auto found = m_states.find(domainId);
    if (found == m_states.end()) {
        return;
    }
    const State& state = found->second;
    if (queries & ParticipantQueries) {
        if (!state.participantsListed) {
            FailureLine::print(DiscoveryQuery::Participants);
        }
        printTimes(DiscoveryQuery::ParticipantData, state.failedParticipants.size());
    }
    if (queries & EndpointQueries) {
        if (!state.writersListed) {
            FailureLine::print(DiscoveryQuery::Publications);
            return;
        }
        printTimes(DiscoveryQuery::PublicationData, state.writers.failed.size());
        if (!state.readersListed) {
            FailureLine::print(DiscoveryQuery::Subscriptions);
        }
        printTimes(DiscoveryQuery::SubscriptionData, state.readers.failed.size());
    }
}

void DiscoveryMirror::sync(MonitorLib& monitor)
{
    HandleSet changed;
    monitor.revisions().eachChangedSince(
        m_revision, [&changed](const InstanceHandle_t& handle) { changed.insert(handle); });
    m_revision = monitor.revisions().latest();

    std::map<uint32_t, WatchedDomain> before;
    for (WatchedDomain& domain : m_endpoints.domains) {
        const uint32_t id = domain.id;
        before.emplace(id, std::move(domain));
    }
    WatchedEndpoints next;
    std::map<uint32_t, State> states;
    for (const auto& entry : monitor.domains) {
        ZORVAN::DomainParticipant* participant = entry.second.m_metaParticipant;
        if (!participant) {
            continue;
        }
        DomainWalk walk(*participant);
        const uint32_t id = walk.domainId();
        State state;
        WatchedDomain domain;
        domain.id = id;
        const auto known = m_states.find(id);
        if (known != m_states.end() && known->second.serial == entry.second.serial) {
            state = std::move(known->second);
            domain = std::move(before[id]);
        }
        state.serial = entry.second.serial;
        syncDomain(monitor, walk, state, domain, changed);
        next.domains.push_back(std::move(domain));
        states[id] = std::move(state);
    }
    m_states = std::move(states);
    m_endpoints = std::move(next);
}

void DiscoveryMirror::syncDomain(MonitorLib& monitor, DomainWalk& walk, State& state,
                                 WatchedDomain& domain, const HandleSet& changed)
{
    state.asked.clear();
    std::set<std::string> moved = syncParticipants(monitor, walk, state, domain, changed);

    TopicEdits edits;
    InstanceHandleSeq writers;
    InstanceHandleSeq readers;
    const bool writersListed = walk.listWriters(writers, DomainWalk::Listing::Silent);
    state.writersListed = writersListed;
    state.readersListed = writersListed && walk.listReaders(readers, DomainWalk::Listing::Silent);
    // What cannot be listed is shown as nothing, as a walk over the domain would show it.
    syncSide<PublicationBuiltinTopicData>(walk, state, state.writers, writers, changed, edits);
    syncSide<SubscriptionBuiltinTopicData>(walk, state, state.readers, readers, changed, edits);
    apply(state, domain, edits, moved);
}

std::set<std::string> DiscoveryMirror::syncParticipants(MonitorLib& monitor, DomainWalk& walk,
                                                        State& state, WatchedDomain& domain,
                                                        const HandleSet& changed)
{
    std::set<std::string> moved;
    InstanceHandleSeq now;
    state.participantsListed = walk.listParticipants(now, DomainWalk::Listing::Silent);
    if (!state.participantsListed) {
        now.clear();
    }
    InstanceHandleSeq gone;
    InstanceHandleSeq fetch;
    compare(state.participants, now, gone, fetch);
    for (const InstanceHandle_t& handle : gone) {
        state.failedParticipants.erase(handle);
        dropParticipant(state, handle);
    }
    // Failed last time and still listed, then announced anew, then new.
    InstanceHandleSeq again(state.failedParticipants.begin(), state.failedParticipants.end());
    state.failedParticipants.clear();
    for (const InstanceHandle_t& handle : changed) {
        if (state.keyOf.count(handle)) {
            again.push_back(handle);
        }
    }
    fetch.insert(fetch.begin(), again.begin(), again.end());
    for (const InstanceHandle_t& handle : fetch) {
        // The monitor's own participants are skipped before their record is asked for.
        if (monitor.ownParticipants.count(handle)) {
            continue;
        }
        std::shared_ptr<const ParticipantBuiltinTopicData> record;
        ++m_fetches;
        if (!fetchSilently(walk, handle, record)) {
            dropParticipant(state, handle);
            state.failedParticipants.insert(handle);
            continue;
        }
        ParticipantSysInfo info;
        readSysInfo(*record, info);
        const ProcessIdentity process = ProcessIdentity::of(info);
        const std::string key = HandleText::keyOf(record->key);
        const auto owner = state.owners.find(key);
        const bool placed = owner != state.owners.end();
        if (placed && owner->second == process) {
            continue;
        }
        dropParticipant(state, handle);
        state.keyOf[handle] = key;
        state.owners[key] = process;
        ++state.hosts[{process.hostName, process.ips}];
        ++state.processes[process];
        if (placed || state.unknownOwners.erase(key)) {
            moved.insert(key);
        }
    }
    state.participants = std::move(now);
    domain.participants = state.keyOf.size();
    domain.hosts = state.hosts.size();
    domain.processes = state.processes.size();
    return moved;
}

void DiscoveryMirror::dropParticipant(State& state, const InstanceHandle_t& handle)
{
    const auto found = state.keyOf.find(handle);
    if (found == state.keyOf.end()) {
        return;
    }
    const auto owner = state.owners.find(found->second);
    if (owner != state.owners.end()) {
        const ProcessIdentity& process = owner->second;
        const auto host = state.hosts.find({process.hostName, process.ips});
        if (host != state.hosts.end() && --host->second == 0) {
            state.hosts.erase(host);
        }
        const auto counted = state.processes.find(process);
        if (counted != state.processes.end() && --counted->second == 0) {
            state.processes.erase(counted);
        }
        state.owners.erase(owner);
    }
    state.keyOf.erase(found);
}

template <class Record>
WatchedEndpoint<Record> DiscoveryMirror::endpoint(DomainWalk& walk, State& state,
                                                  const InstanceHandle_t& handle,
                                                  std::shared_ptr<const Record> record)
{
    WatchedEndpoint<Record> endpoint;
    endpoint.handle = handle;
    const std::string key = HandleText::keyOf(record->participant_key);
    const auto known = state.owners.find(key);
    if (known != state.owners.end()) {
        endpoint.process = known->second;
    } else {
        auto asked = state.asked.find(key);
        if (asked == state.asked.end()) {
            // Announced before its participant was listed, or the participant's record failed:
            // asked once a sync, without a line (whoever shows the endpoint asks and reports),
            // and its endpoints put right when the participant is listed.
            ParticipantSysInfo info;
            std::shared_ptr<const ParticipantBuiltinTopicData> owner;
            const bool placed =
                fetchSilently(walk, HandleText::handleFromKey(record->participant_key), owner);
            if (placed) {
                readSysInfo(*owner, info);
            }
            state.unknownOwners.insert(key);
            asked =
                state.asked.emplace(key, std::make_pair(ProcessIdentity::of(info), placed)).first;
        }
        endpoint.process = asked->second.first;
        endpoint.placed = asked->second.second;
    }
    endpoint.record = std::move(record);
    return endpoint;
}

template <class Record>
void DiscoveryMirror::syncSide(DomainWalk& walk, State& state, Side& side,
                               const InstanceHandleSeq& now, const HandleSet& changed,
                               TopicEdits& edits)
{
    const Record* const kind = nullptr;
    InstanceHandleSeq gone;
    InstanceHandleSeq added;
    compare(side.listed, now, gone, added);
    for (const InstanceHandle_t& handle : gone) {
        side.failed.erase(handle);
        const auto found = side.topicOf.find(handle);
        if (found != side.topicOf.end()) {
            edits.of(found->second, kind).gone.insert(handle);
            side.topicOf.erase(found);
        }
    }
    // Records announced anew under a handle already shown.
    for (const InstanceHandle_t& handle : changed) {
        const auto found = side.topicOf.find(handle);
        if (found == side.topicOf.end()) {
            continue;
        }
        std::shared_ptr<const Record> record;
        ++m_fetches;
        const bool fetched = fetchSilently(walk, handle, record);
        if (fetched && record->topic_name == found->second) {
            edits.of(found->second, kind).replaced.push_back(endpoint(walk, state, handle, record));
            continue;
        }
        // Gone from its topic: failed, or (from a peer that breaks the rules) on another one.
        edits.of(found->second, kind).gone.insert(handle);
        side.topicOf.erase(found);
        if (fetched) {
            side.topicOf.emplace(handle, record->topic_name);
            edits.of(record->topic_name, kind)
                .added.push_back(endpoint(walk, state, handle, record));
        } else {
            side.failed.insert(handle);
        }
    }
    InstanceHandleSeq fetch(side.failed.begin(), side.failed.end());
    side.failed.clear();
    fetch.insert(fetch.end(), added.begin(), added.end());
    for (const InstanceHandle_t& handle : fetch) {
        std::shared_ptr<const Record> record;
        ++m_fetches;
        if (!fetchSilently(walk, handle, record)) {
            side.failed.insert(handle);
            continue;
        }
        side.topicOf.emplace(handle, record->topic_name);
        edits.of(record->topic_name, kind).added.push_back(endpoint(walk, state, handle, record));
    }
    side.listed = now;
}

void DiscoveryMirror::apply(State& state, WatchedDomain& domain, TopicEdits& edits,
                            const std::set<std::string>& movedOwners)
{
    for (auto& named : edits.byTopic) {
        const auto& edit = named.second;
        if (edit.first.empty() && edit.second.empty()) {
            continue;
        }
        const auto found = domain.topics.find(named.first);
        auto topic = found != domain.topics.end() ? std::make_shared<WatchedTopic>(*found->second)
                                                  : std::make_shared<WatchedTopic>();
        topic->name = named.first;
        edit.first.applyTo(topic->writers);
        edit.second.applyTo(topic->readers);
        if (topic->writers.empty() && topic->readers.empty()) {
            if (found != domain.topics.end()) {
                domain.topics.erase(found);
            }
        } else {
            domain.topics[named.first] = std::move(topic);
        }
    }
    if (movedOwners.empty()) {
        return;
    }
    // A participant listed after its endpoints, or one that now announces another place: its
    // endpoints take the place it announces.
    const auto placeOf = [&](const auto& endpoint) {
        const std::string key = HandleText::keyOf(endpoint.record->participant_key);
        if (!movedOwners.count(key)) {
            return false;
        }
        const auto owner = state.owners.find(key);
        return owner != state.owners.end() &&
               (!endpoint.placed || owner->second != endpoint.process);
    };
    const auto place = [&](auto& endpoint) {
        endpoint.process = state.owners.at(HandleText::keyOf(endpoint.record->participant_key));
        endpoint.placed = true;
    };
    for (auto& named : domain.topics) {
        std::shared_ptr<WatchedTopic> topic;
        const auto copy = [&]() -> WatchedTopic& {
            if (!topic) {
                topic = std::make_shared<WatchedTopic>(*named.second);
            }
            return *topic;
        };
        const WatchedTopic& shown = *named.second;
        for (size_t i = 0; i < shown.writers.size(); ++i) {
            if (placeOf(shown.writers[i])) {
                place(copy().writers[i]);
            }
        }
        for (size_t i = 0; i < shown.readers.size(); ++i) {
            if (placeOf(shown.readers[i])) {
                place(copy().readers[i]);
            }
        }
        if (topic) {
            named.second = std::move(topic);
        }
    }
}
