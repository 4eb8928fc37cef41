#include "DiscoveryRecorder.h"

#include "DomainWalk.h"
#include "EventTime.h"
#include "HandleText.h"
#include "MonitorLib.h"

#include <algorithm>

using namespace ZORVAN;

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

// Per domain, a pass's events read as the system changed: who joined (participants before
// their endpoints), whose QoS changed, then who left (endpoints before their participants).
int orderOf(DiscoveryEventKind event, DiscoveredKind kind)
{
    const int k = int(kind);
    switch (event) {
    case DiscoveryEventKind::Joined:
        return k;
    case DiscoveryEventKind::QosChanged:
        return 3;
    case DiscoveryEventKind::Left:
        return kind == DiscoveredKind::Participant ? 6 : 3 + k;
    }
    return 7;
}

} // namespace

DiscoveryRecorder::DiscoveryRecorder(size_t capacity) : m_log(capacity) {}

DiscoveryRecorder::DomainState& DiscoveryRecorder::stateOf(DomainParticipant& participant)
{
    DomainState& state = m_domains[participant.get_domain_id()];
    // A domain dropped and watched again between two passes has a new participant of the
    // monitor, whose first pass lists everything again: start from nothing.
    if (state.watcher != participant.get_instance_handle()) {
        state = DomainState();
        state.watcher = participant.get_instance_handle();
    }
    return state;
}

void DiscoveryRecorder::listChanged(MonitorLib& monitor, DomainParticipant& participant,
                                    DiscoveredKind kind, const HandleDelta& delta)
{
    DomainState& state = stateOf(participant);
    DomainWalk walk(participant);
    const uint32_t domainId = walk.domainId();
    for (const InstanceHandle_t& handle : delta.added) {
        if (kind == DiscoveredKind::Participant && monitor.ownParticipants.count(handle) != 0) {
            continue;
        }
        Pending pending;
        pending.domainId = domainId;
        pending.kind = kind;
        pending.handle = handle;
        readJoined(walk, state, pending);
        m_pending.push_back(std::move(pending));
    }
    // What a leaving entity was is looked up after the mutex is released.
    for (const InstanceHandle_t& handle : delta.removed) {
        Pending pending;
        pending.domainId = domainId;
        pending.event = DiscoveryEventKind::Left;
        pending.kind = kind;
        pending.handle = handle;
        m_pending.push_back(std::move(pending));
    }
}

void DiscoveryRecorder::readJoined(DomainWalk& walk, DomainState& state, Pending& pending)
{
    // A record that cannot be read (the entity went between the listing and the query) has
    // had its failure line written; the join is recorded with what is known.
    switch (pending.kind) {
    case DiscoveredKind::Participant: {
        // Shared rather than copied: only a few fields are read, under the mutex.
        std::shared_ptr<const ParticipantBuiltinTopicData> record;
        if (!walk.fetch(pending.handle, record)) {
            return;
        }
        ParticipantSysInfo info;
        readSysInfo(*record, info);
        auto owner = std::make_shared<Owner>();
        owner->where = ProcessIdentity::of(info);
        state.owners[HandleText::keyOf(record->key)] = owner;
        pending.recordRead = true;
        pending.owner = std::move(owner);
        return;
    }
    case DiscoveredKind::Writer:
        readEndpoint<PublicationBuiltinTopicData>(walk, state, pending);
        return;
    case DiscoveredKind::Reader:
        readEndpoint<SubscriptionBuiltinTopicData>(walk, state, pending);
        return;
    }
}

template <class Record>
void DiscoveryRecorder::readEndpoint(DomainWalk& walk, DomainState& state, Pending& pending)
{
    std::shared_ptr<const Record> record;
    if (!walk.fetch(pending.handle, record)) {
        return;
    }
    pending.recordRead = true;
    pending.topic = record->topic_name;
    pending.type = record->type_name;
    pending.owner = ownerOf(walk, state, record->participant_key);
}

std::shared_ptr<DiscoveryRecorder::Owner>
DiscoveryRecorder::ownerOf(DomainWalk& walk, DomainState& state, const BuiltinTopicKey_t& key)
{
    const std::string bytes = HandleText::keyOf(key);
    const auto known = state.owners.find(bytes);
    if (known != state.owners.end()) {
        return known->second;
    }
    // Participants are listed before endpoints, so this is rare: an endpoint of a participant
    // that joined between the two listings, or of the monitor's own.
    ParticipantSysInfo info;
    if (!walk.ownerSysInfo(key, info)) {
        return nullptr;
    }
    auto owner = std::make_shared<Owner>();
    owner->where = ProcessIdentity::of(info);
    state.owners.emplace(bytes, owner);
    return owner;
}

void DiscoveryRecorder::qosChanged(MonitorLib& /*monitor*/, DomainParticipant& participant,
                                   DiscoveredKind kind, const InstanceHandle_t& handle,
                                   const std::vector<std::string>& policies)
{
    DomainState& state = stateOf(participant);
    if (state.live.count(handle) == 0) {
        return;
    }
    Pending pending;
    pending.domainId = participant.get_domain_id();
    pending.event = DiscoveryEventKind::QosChanged;
    pending.kind = kind;
    pending.handle = handle;
    pending.policies = policies;
    m_pending.push_back(std::move(pending));
}

void DiscoveryRecorder::passPolled(MonitorLib& monitor)
{
    // Forget the domains that are no longer watched. Their entities did not leave, the monitor
    // stopped looking: no event, and their lifetimes stay as they were.
    for (auto it = m_domains.begin(); it != m_domains.end();) {
        const auto watched = monitor.domains.find(it->first);
        const bool same =
            watched != monitor.domains.end() && watched->second.m_metaParticipant &&
            watched->second.m_metaParticipant->get_instance_handle() == it->second.watcher;
        it = same ? std::next(it) : m_domains.erase(it);
    }
}

std::shared_ptr<const EntityDescription> DiscoveryRecorder::describe(Pending& pending) const
{
    auto entity = std::make_shared<EntityDescription>();
    entity->key = HandleText::keyOf(pending.handle);
    entity->handle = HandleText::text(entity->key);
    entity->recordRead = pending.recordRead;
    entity->topic = fromUtf8(pending.topic);
    entity->type = fromUtf8(pending.type);
    if (Owner* owner = pending.owner.get()) {
        if (!owner->converted) {
            owner->host = fromUtf8(owner->where.hostName);
            owner->ips = fromUtf8(owner->where.ips);
            owner->process = fromUtf8(owner->where.processName);
            owner->converted = true;
        }
        entity->placed = true;
        entity->host = owner->host;
        entity->ips = owner->ips;
        entity->process = owner->process;
        entity->pid = owner->where.pid;
    }
    return entity;
}

void DiscoveryRecorder::passReleased()
{
    if (m_pending.empty()) {
        return;
    }
    std::stable_sort(m_pending.begin(), m_pending.end(), [](const Pending& a, const Pending& b) {
        if (a.domainId != b.domainId) {
            return a.domainId < b.domainId;
        }
        return orderOf(a.event, a.kind) < orderOf(b.event, b.kind);
    });
    // One reading of the clock for the whole pass: its events were seen together.
    const EventStamp now = EventTime::now();
    std::vector<DiscoveryEvent> events;
    events.reserve(m_pending.size());
    for (Pending& pending : m_pending) {
        const auto domain = m_domains.find(pending.domainId);
        if (domain == m_domains.end()) {
            continue;
        }
        DomainState& state = domain->second;
        auto& live = state.live;
        DiscoveryEvent event;
        event.time = now;
        event.domainId = pending.domainId;
        event.event = pending.event;
        event.kind = pending.kind;
        if (pending.event == DiscoveryEventKind::Joined) {
            event.entity = describe(pending);
            live[pending.handle] = event.entity;
        } else {
            // Only what was recorded joining can leave or change: not the monitor's own
            // participants.
            const auto found = live.find(pending.handle);
            if (found == live.end()) {
                continue;
            }
            event.entity = found->second;
            if (pending.event == DiscoveryEventKind::Left) {
                live.erase(found);
                if (pending.kind == DiscoveredKind::Participant) {
                    state.owners.erase(event.entity->key);
                }
            }
            for (const std::string& policy : pending.policies) {
                event.policies << fromUtf8(policy);
            }
        }
        events.push_back(std::move(event));
    }
    m_pending.clear();
    m_log.append(std::move(events));
}
