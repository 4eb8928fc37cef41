#include "MonitorLib.h"

#include "DomainParticipantFactory.h"
#include "HandleText.h"
#include "ParticipantSysInfo.h"

#include <chrono>
#include <cstdio>
#include <unordered_map>

using namespace ZORVAN;

namespace {

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
                changes += pollDomain(domain.second);
                if (changeObserver && !domain.second.recordChanges.empty()) {
                    changeObserver(domain.first, domain.second.recordChanges);
                }
            }
            done = Clock::now();
        }
        if (observer) {
            observer(locked - asked, done - locked);
        }
        m_pacer.next(locked, done, changes);
    }
}

// Runs on the polling thread with `mutex` held.
size_t MonitorLib::pollDomain(DomainEntry& entry)
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
    const std::pair<InstanceHandleSeq*, InstanceHandleSeq*> lists[] = {
        {&entry.participantHandles, &entry.prevParticipantHandles},
        {&entry.publicationHandles, &entry.prevPublicationHandles},
        {&entry.subscriptionHandles, &entry.prevSubscriptionHandles},
    };
    for (const auto& list : lists) {
        // A steady list is the common case: skip the delta when nothing moved.
        if (*list.first == *list.second) {
            continue;
        }
        const HandleDelta delta = computeDelta(*list.first, *list.second);
        changes += delta.added.size() + delta.removed.size();
        m_revisions.forget(delta.removed);
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

void MonitorLib::findEndpointInfo(uint32_t domainId, const InstanceHandle_t& handle,
                                  const MatchType& type, EndpointInfo& info)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (type != WriterMatch && type != ReaderMatch) {
        return;
    }
    InstanceHandleSeq list;
    for (auto& domain : domains) {
        DomainParticipant* participant = domain.second.m_metaParticipant;
        if (!participant) {
            continue;
        }
        list.clear();
        const bool writers = type == WriterMatch;
        const ReturnCode_t listed = writers ? participant->get_publications(list, true)
                                            : participant->get_subscriptions(list, true);
        if (listed != RETCODE_OK) {
            printFailure(writers ? "get_publications failed" : "get_subscriptions failed");
            continue;
        }
        for (const InstanceHandle_t& listedHandle : list) {
            // Fetch the record first, as the search checks the handle only on a good record.
            std::string topicName;
            std::string typeName;
            BuiltinTopicKey_t participantKey;
            if (writers) {
                PublicationBuiltinTopicData record;
                if (participant->get_publication_data(record, listedHandle) != RETCODE_OK) {
                    printFailure("get_publication_data failed");
                    continue;
                }
                if (!(listedHandle == handle)) {
                    continue;
                }
                topicName = std::move(record.topic_name);
                typeName = std::move(record.type_name);
                participantKey = record.participant_key;
            } else {
                SubscriptionBuiltinTopicData record;
                if (participant->get_subscription_data(record, listedHandle) != RETCODE_OK) {
                    printFailure("get_subscription_data failed");
                    continue;
                }
                if (!(listedHandle == handle)) {
                    continue;
                }
                topicName = std::move(record.topic_name);
                typeName = std::move(record.type_name);
                participantKey = record.participant_key;
            }
            info.domainId = domainId;
            info.handleKey = HandleText::keyOf(listedHandle);
            info.participantKey = HandleText::keyOf(participantKey);
            info.topicName = QString::fromStdString(topicName);
            info.type = type;
            info.typeName = QString::fromStdString(typeName);
            ParticipantBuiltinTopicData participantRecord;
            participant->get_discovered_participant_data(participantRecord,
                                                         HandleText::handleFromKey(participantKey));
            ParticipantSysInfo sysInfo;
            readSysInfo(participantRecord, sysInfo);
            info.processName = sysInfo.processName;
        }
    }
}

std::unique_ptr<PublicationBuiltinTopicData>
MonitorLib::findPublicationData(const InstanceHandle_t& handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    InstanceHandleSeq list;
    for (auto& domain : domains) {
        DomainParticipant* participant = domain.second.m_metaParticipant;
        if (!participant) {
            continue;
        }
        list.clear();
        participant->get_publications(list, true);
        for (const InstanceHandle_t& listedHandle : list) {
            if (listedHandle == handle) {
                auto record = std::make_unique<PublicationBuiltinTopicData>();
                participant->get_publication_data(*record, handle);
                return record;
            }
        }
    }
    return nullptr;
}

std::unique_ptr<SubscriptionBuiltinTopicData>
MonitorLib::findSubscriptionData(const InstanceHandle_t& handle)
{
    std::lock_guard<std::mutex> lock(mutex);
    InstanceHandleSeq list;
    for (auto& domain : domains) {
        DomainParticipant* participant = domain.second.m_metaParticipant;
        if (!participant) {
            continue;
        }
        list.clear();
        participant->get_subscriptions(list, true);
        for (const InstanceHandle_t& listedHandle : list) {
            if (listedHandle == handle) {
                auto record = std::make_unique<SubscriptionBuiltinTopicData>();
                participant->get_subscription_data(*record, handle);
                return record;
            }
        }
    }
    return nullptr;
}
