#include "MatchSnapshot.h"

#include "Counterparts.h"
#include "DomainWalk.h"
#include "EndpointLookup.h"
#include "HandleText.h"

#include <QByteArray>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <type_traits>

using namespace ZORVAN;

namespace {

CompatibilityKey keyOf(uint32_t domain, const PublicationBuiltinTopicData& writer)
{
    return CompatibilityKey::ofWriter(domain, writer);
}

CompatibilityKey keyOf(uint32_t domain, const SubscriptionBuiltinTopicData& reader)
{
    return CompatibilityKey::ofReader(domain, reader);
}

int addTo(CompatibilityTable& table, const CompatibilityKey& key,
          const PublicationBuiltinTopicData*)
{
    return table.addWriter(key);
}

int addTo(CompatibilityTable& table, const CompatibilityKey& key,
          const SubscriptionBuiltinTopicData*)
{
    return table.addReader(key);
}

std::unique_ptr<PublicationBuiltinTopicData>
lookUp(MonitorLib& monitor, const InstanceHandle_t& handle, const PublicationBuiltinTopicData*)
{
    return findPublicationData(monitor, handle);
}

std::unique_ptr<SubscriptionBuiltinTopicData>
lookUp(MonitorLib& monitor, const InstanceHandle_t& handle, const SubscriptionBuiltinTopicData*)
{
    return findSubscriptionData(monitor, handle);
}

} // namespace

MatchSnapshot MatchSnapshot::take(MonitorLib& monitor, uint32_t domainId,
                                  const InstanceHandle_t& handle, int side,
                                  const EndpointInfo& chosen)
{
    MatchSnapshot snapshot;
    snapshot.m_domainId = domainId;
    if (side != WriterMatch && side != ReaderMatch) {
        return snapshot;
    }
    snapshot.m_counterpartSide = side == WriterMatch ? ReaderMatch : WriterMatch;
    const QByteArray topic = chosen.topicName.toUtf8();
    const Counterparts found =
        scanCounterparts(monitor, domainId, std::string(topic.constData(), size_t(topic.size())));
    // An endpoint the lookup did not find has no record to judge by.
    const bool known = chosen.type == side;
    if (side == WriterMatch) {
        snapshot.judgeAll(monitor, handle, known, found.writers, found.readers);
    } else {
        snapshot.judgeAll(monitor, handle, known, found.readers, found.writers);
    }
    return snapshot;
}

template <class Chosen, class Other>
void MatchSnapshot::judgeAll(MonitorLib& monitor, const InstanceHandle_t& handle, bool known,
                             const std::vector<DiscoveredEndpoint<Chosen>>& own,
                             const std::vector<DiscoveredEndpoint<Other>>& others)
{
    // The chosen endpoint's announcement: from the walk when it is on the topic walked (the
    // domain compared), else looked up by handle among every watched domain.
    std::optional<CompatibilityKey> chosen;
    if (known) {
        const auto walked =
            std::find_if(own.begin(), own.end(), [&](const DiscoveredEndpoint<Chosen>& endpoint) {
                return endpoint.handle == handle;
            });
        if (walked != own.end()) {
            chosen = keyOf(m_domainId, walked->record);
        } else if (const auto record =
                       lookUp(monitor, handle, static_cast<const Chosen*>(nullptr))) {
            chosen = keyOf(m_domainId, *record);
        }
    }
    m_judged = chosen.has_value();
    if (chosen) {
        m_chosenGroup = addTo(m_table, *chosen, static_cast<const Chosen*>(nullptr));
    }
    constexpr bool chosenWrites = std::is_same_v<Chosen, PublicationBuiltinTopicData>;
    for (const DiscoveredEndpoint<Other>& other : others) {
        const int group =
            addTo(m_table, keyOf(m_domainId, other.record), static_cast<const Other*>(nullptr));
        QosRuleSet broken;
        if (chosen) {
            broken = chosenWrites ? m_table.check(m_chosenGroup, group)
                                  : m_table.check(group, m_chosenGroup);
        }
        add(other.handle, other.record.participant_key, group, broken);
    }
}

void MatchSnapshot::add(const InstanceHandle_t& handle, const BuiltinTopicKey_t& participantKey,
                        int group, QosRuleSet broken)
{
    Counterpart counterpart;
    counterpart.handleKey = HandleText::keyOf(handle);
    counterpart.participantKey = participantKey;
    counterpart.group = group;
    counterpart.broken = broken;
    m_counterparts.push_back(std::move(counterpart));
}

const CompatibilityKey* MatchSnapshot::chosenKey() const
{
    if (!m_judged) {
        return nullptr;
    }
    return m_counterpartSide == ReaderMatch ? &m_table.writerKey(m_chosenGroup)
                                            : &m_table.readerKey(m_chosenGroup);
}

const CompatibilityKey& MatchSnapshot::key(const Counterpart& counterpart) const
{
    return m_counterpartSide == ReaderMatch ? m_table.readerKey(counterpart.group)
                                            : m_table.writerKey(counterpart.group);
}

std::vector<int> MatchSnapshot::problemsFirst(std::vector<int> indices) const
{
    std::stable_partition(indices.begin(), indices.end(), [this](int i) {
        return m_counterparts[size_t(i)].broken != QosRuleSet();
    });
    return indices;
}

std::vector<MatchSnapshot::Pick> MatchSnapshot::pick(MonitorLib& monitor,
                                                     const std::vector<int>& candidates, int room,
                                                     int& notShown) const
{
    std::vector<Pick> picked;
    notShown = 0;
    if (candidates.empty()) {
        return picked;
    }
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        if (walk.domainId() != m_domainId) {
            return true;
        }
        // Many endpoints share a participant: each is asked once, and a failure printed once.
        std::map<std::string, std::optional<std::string>> processOf;
        for (int index : candidates) {
            if (int(picked.size()) >= room) {
                ++notShown;
                continue;
            }
            const Counterpart& counterpart = m_counterparts[size_t(index)];
            const std::string participant = HandleText::keyOf(counterpart.participantKey);
            auto known = processOf.find(participant);
            if (known == processOf.end()) {
                ParticipantSysInfo info;
                std::optional<std::string> name;
                if (walk.ownerSysInfo(counterpart.participantKey, info)) {
                    name = info.processName;
                }
                known = processOf.emplace(participant, name).first;
            }
            if (known->second) {
                picked.push_back({index, *known->second});
            }
        }
        return false;
    });
    return picked;
}
