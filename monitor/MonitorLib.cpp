#include "MonitorLib.h"

#include "DomainParticipantFactory.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unordered_map>

using namespace ZORVAN;

namespace {

// The kind of a changed record, as the monitor's observers name it.
::DiscoveredKind observedKind(ZORVAN::RecordKind kind)
{
    switch (kind) {
    case ZORVAN::RecordKind::Publication:
        return ::DiscoveredKind::Writer;
    case ZORVAN::RecordKind::Subscription:
        return ::DiscoveredKind::Reader;
    case ZORVAN::RecordKind::Participant:
        break;
    }
    return ::DiscoveredKind::Participant;
}

// The polling thread's own lines, which name the participant it asked.
void printFailure(const char* line)
{
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// Hash of the full equality of handles (length, significant bytes, isValid), so that the
// delta keeps exactly the semantics of a pairwise comparison.
struct HandleHash
{
    size_t operator()(const InstanceHandle_t& h) const
    {
        size_t hash = 1469598103934665603ull ^ h.isValid ^ (size_t(h.length) << 32);
        const uint32_t n = h.length < 16 ? h.length : 16;
        for (uint32_t i = 0; i < n; ++i) {
            hash = (hash ^ h.value[i]) * 1099511628211ull;
        }
        return hash;
    }
};

struct HandleEqual
{
    bool operator()(const InstanceHandle_t& a, const InstanceHandle_t& b) const { return a == b; }
};

using HandleCount = std::unordered_map<InstanceHandle_t, int, HandleHash, HandleEqual>;

// Set on the polling thread, so that dataChanged() emitted elsewhere can be told apart.
thread_local bool onPollingThread = false;

HandleCount presenceOf(const InstanceHandleSeq& list)
{
    HandleCount present;
    present.reserve(list.size());
    for (const InstanceHandle_t& h : list) {
        present.emplace(h, 1);
    }
    return present;
}

// The delta of two lists that keep their order, in one walk: the middleware lists entities in
// the order it first saw them, so what stays keeps its order and what is new comes at the
// end. The walk pairs the old list with the new one; what it cannot pair counts as removed,
// and the rest of the new list as added. That is the delta exactly when no handle it moves
// stands anywhere else in either list (checked in one more walk over each list against the
// few handles moved); false otherwise, and for large changes, which the hash tables handle.
bool orderedDelta(const InstanceHandleSeq& newList, const InstanceHandleSeq& oldList,
                  HandleDelta& delta)
{
    const size_t most = std::max<size_t>(256, std::max(oldList.size(), newList.size()) / 8);
    size_t next = 0;
    for (const InstanceHandle_t& h : oldList) {
        if (next < newList.size() && newList[next] == h) {
            ++next;
        } else {
            delta.removed.push_back(h);
            if (delta.removed.size() > most) {
                return false;
            }
        }
    }
    if (newList.size() - next > most) {
        return false;
    }
    delta.added.assign(newList.begin() + std::ptrdiff_t(next), newList.end());
    // Each moved handle must stand once in the list it is moved in and nowhere in the other.
    HandleCount moved;
    for (const InstanceHandle_t& h : delta.removed) {
        if (!moved.emplace(h, 0).second) {
            return false;
        }
    }
    for (const InstanceHandle_t& h : delta.added) {
        if (!moved.emplace(h, 0).second) {
            return false;
        }
    }
    if (moved.empty()) {
        return true;
    }
    for (const InstanceHandleSeq* list : {&oldList, &newList}) {
        for (const InstanceHandle_t& h : *list) {
            const auto found = moved.find(h);
            if (found != moved.end() && ++found->second > 1) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

MonitorLib& MonitorLib::getInstance()
{
    static MonitorLib instance;
    static std::once_flag started;
    std::call_once(started, [] {
        instance.thread = std::make_unique<std::thread>(&MonitorLib::pollLoop, &instance);
    });
    return instance;
}

MonitorLib::MonitorLib()
{
    // Connected first and directly, so the count has moved on before any receiver hears of
    // the emission, whichever thread emits.
    connect(
        this, &MonitorLib::dataChanged, this,
        [this] {
            ++m_signalCount;
            // Emitted elsewhere after the domain set changed: new participants are watched
            // and polled without waiting for the heartbeat.
            if (!onPollingThread) {
                m_pacer.requestPass();
            }
        },
        Qt::DirectConnection);
}

MonitorLib::~MonitorLib()
{
    stopPolling();
    std::lock_guard<std::mutex> lock(mutex);
    DomainParticipantFactory* factory = DomainParticipantFactory::get_instance();
    for (auto& domain : domains) {
        if (DomainParticipant* participant = domain.second.m_metaParticipant) {
            participant->delete_contained_entities();
            factory->delete_participant(participant);
        }
    }
    domains.clear();
    ownParticipants.clear();
}

bool MonitorLib::setDiscoveryObserver(std::unique_ptr<DiscoveryObserver> observer)
{
    DiscoveryObserver* none = nullptr;
    if (!observer || !m_discovery.compare_exchange_strong(none, observer.get())) {
        return false;
    }
    m_ownedDiscovery = std::move(observer);
    return true;
}

void MonitorLib::stopPolling()
{
    running = false;
    m_pacer.stop();
    if (thread && thread->joinable()) {
        thread->join();
    }
}

HandleDelta MonitorLib::computeDelta(const InstanceHandleSeq& newList,
                                     const InstanceHandleSeq& oldList)
{
    // Same result as comparing every handle with every other, without the quadratic cost:
    // a handle counts as present when any equal handle stands in the other list, so
    // duplicates are reported once per occurrence.
    HandleDelta delta;
    if (orderedDelta(newList, oldList, delta)) {
        delta.changed = !delta.added.empty() || !delta.removed.empty();
        return delta;
    }
    delta = HandleDelta();
    const HandleCount inOld = presenceOf(oldList);
    for (const InstanceHandle_t& h : newList) {
        if (inOld.find(h) == inOld.end()) {
            delta.added.push_back(h);
        }
    }
    const HandleCount inNew = presenceOf(newList);
    for (const InstanceHandle_t& h : oldList) {
        if (inNew.find(h) == inNew.end()) {
            delta.removed.push_back(h);
        }
    }
    delta.changed = !delta.added.empty() || !delta.removed.empty();
    return delta;
}

void MonitorLib::pollLoop()
{
    using Clock = PaceRule::Clock;
    onPollingThread = true;
    while (running) {
        const PassObserver observer = m_passObserver;
        DiscoveryObserver* const discovery = m_discovery;
        const Clock::time_point asked = Clock::now();
        Clock::time_point locked;
        Clock::time_point done;
        size_t changes = 0;
        {
            std::lock_guard<std::mutex> lock(mutex);
            locked = Clock::now();
            m_pacer.follow(domains);
            const RecordChangeObserver changeObserver = m_changeObserver;
            for (auto& domain : domains) {
                changes += pollDomain(domain.second, discovery);
                if (changeObserver && !domain.second.recordChanges.empty()) {
                    changeObserver(domain.first, domain.second.recordChanges);
                }
            }
            if (discovery) {
                discovery->passPolled(*this);
            }
            done = Clock::now();
        }
        if (observer) {
            observer(locked - asked, done - locked);
        }
        if (discovery) {
            discovery->passReleased();
        }
        m_pacer.next(locked, done, changes);
    }
}

// Runs on the polling thread with `mutex` held.
size_t MonitorLib::pollDomain(DomainEntry& entry, DiscoveryObserver* discovery)
{
    DomainParticipant* participant = entry.m_metaParticipant;
    entry.recordChanges.clear();
    if (!participant) {
        return 0;
    }
    size_t changes = 0;
    entry.participantHandles.clear();
    entry.publicationHandles.clear();
    entry.subscriptionHandles.clear();
    if (participant->get_discovered_participants(entry.participantHandles) != RETCODE_OK) {
        printFailure("m_metaParticipant get_discovered_participants failed");
    }
    if (participant->get_publications(entry.publicationHandles, true) != RETCODE_OK) {
        printFailure("m_metaParticipant get_publications failed");
    }
    if (participant->get_subscriptions(entry.subscriptionHandles, true) != RETCODE_OK) {
        printFailure("m_metaParticipant get_subscriptions failed");
    }
    const struct
    {
        InstanceHandleSeq* first;
        InstanceHandleSeq* second;
        ::DiscoveredKind kind;
    } lists[] = {
        {&entry.participantHandles, &entry.prevParticipantHandles, ::DiscoveredKind::Participant},
        {&entry.publicationHandles, &entry.prevPublicationHandles, ::DiscoveredKind::Writer},
        {&entry.subscriptionHandles, &entry.prevSubscriptionHandles, ::DiscoveredKind::Reader},
    };
    for (const auto& list : lists) {
        // A steady list is the common case: skip the delta when nothing moved.
        if (*list.first == *list.second) {
            continue;
        }
        const HandleDelta delta = computeDelta(*list.first, *list.second);
        changes += delta.added.size() + delta.removed.size();
        m_revisions.forget(delta.removed);
        if (delta.changed && discovery) {
            discovery->listChanged(*this, *participant, list.kind, delta);
        }
        if (delta.changed) {
            // emitted on the polling thread; delivered queued to the GUI thread
            if (!delta.added.empty()) {
                emit dataChanged();
            }
            if (!delta.removed.empty()) {
                emit dataChanged();
            }
        }
    }
    entry.prevParticipantHandles = entry.participantHandles;
    entry.prevPublicationHandles = entry.publicationHandles;
    entry.prevSubscriptionHandles = entry.subscriptionHandles;

    // Records re-announced with different data count as a change of the domain, once a pass.
    if (participant->take_record_changes(entry.recordChanges) != RETCODE_OK) {
        printFailure("m_metaParticipant take_record_changes failed");
    }
    if (!entry.recordChanges.empty()) {
        changes += entry.recordChanges.size();
        m_revisions.note(entry.recordChanges);
        if (discovery) {
            for (const RecordChange& change : entry.recordChanges) {
                discovery->qosChanged(*this, *participant, observedKind(change.kind), change.handle,
                                      change.policies);
            }
        }
        // emitted on the polling thread; delivered queued to the GUI thread
        emit dataChanged();
    }
    return changes;
}

uint64_t MonitorLib::recordRevision(const InstanceHandle_t& handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    return m_revisions.revision(handle);
}
