#include "TopicChanges.h"

#include "DomainWalk.h"
#include "HandleText.h"
#include "ShownName.h"
#include "TopicEndpoints.h"

#include <mutex>
#include <type_traits>

using namespace ZORVAN;

TopicChanges::TopicChanges(uint32_t domainId, std::string topicName)
    : m_domainId(domainId), m_topicName(std::move(topicName))
{
}

void TopicChanges::prime(MonitorLib& monitor)
{
    std::lock_guard<std::mutex> lock(monitor.mutex);
    const auto domain = monitor.domains.find(m_domainId);
    if (domain == monitor.domains.end() || !domain->second.m_metaParticipant) {
        return;
    }
    DomainWalk walk(*domain->second.m_metaParticipant);
    walk.listWriters(m_writers, DomainWalk::Listing::Silent);
    walk.listReaders(m_readers, DomainWalk::Listing::Silent);
}

void TopicChanges::setShown(const TopicEndpoints& shown)
{
    m_present.clear();
    for (const auto& reader : shown.readers) {
        m_present.insert(reader.first);
    }
    for (const auto& writer : shown.writers) {
        m_present.insert(writer.first);
    }
}

TopicChanges::Delta TopicChanges::update(MonitorLib& monitor)
{
    Delta delta;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    const auto domain = monitor.domains.find(m_domainId);
    if (domain == monitor.domains.end() || !domain->second.m_metaParticipant) {
        return delta;
    }
    DomainWalk walk(*domain->second.m_metaParticipant);
    follow<SubscriptionBuiltinTopicData>(walk, m_readers, true, delta);
    follow<PublicationBuiltinTopicData>(walk, m_writers, false, delta);
    return delta;
}

template <class Record>
void TopicChanges::follow(DomainWalk& walk, InstanceHandleSeq& known, bool reader, Delta& delta)
{
    InstanceHandleSeq listed;
    const bool ok = std::is_same_v<Record, SubscriptionBuiltinTopicData>
                        ? walk.listReaders(listed, DomainWalk::Listing::Silent)
                        : walk.listWriters(listed, DomainWalk::Listing::Silent);
    if (!ok) {
        return;
    }
    const HandleDelta change = MonitorLib::computeDelta(listed, known);
    for (const InstanceHandle_t& handle : change.removed) {
        std::string key = HandleText::keyOf(handle);
        if (m_present.erase(key) > 0) {
            delta.left.push_back(std::move(key));
        }
    }
    // Only the newcomers are fetched: a handle names one endpoint for its whole life, and an
    // endpoint keeps its topic.
    for (const InstanceHandle_t& handle : change.added) {
        Record record;
        ParticipantSysInfo owner;
        if (!walk.fetch(handle, record) || !ShownName::matches(record.topic_name, m_topicName) ||
            !walk.ownerSysInfo(record.participant_key, owner)) {
            continue;
        }
        std::string key = HandleText::keyOf(record.key);
        m_present.insert(key);
        delta.joined.push_back(Joined{std::move(key), ProcessIdentity::of(owner), reader});
    }
    known = std::move(listed);
}
