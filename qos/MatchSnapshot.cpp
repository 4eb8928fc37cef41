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

using namespace ZORVAN;

namespace {

// The chosen endpoint's announcement: from the walk when it is on the topic walked (the
// domain compared), else looked up by handle among every watched domain.
template <class Record, class Lookup, class KeyOf>
std::optional<CompatibilityKey>
chosenAnnouncement(const std::vector<DiscoveredEndpoint<Record>>& own,
                   const InstanceHandle_t& handle, Lookup lookup, KeyOf keyOf)
{
    for (const DiscoveredEndpoint<Record>& endpoint : own) {
        if (endpoint.handle == handle) {
            return keyOf(endpoint.record);
        }
    }
    const std::unique_ptr<Record> record = lookup();
    if (!record) {
        return std::nullopt;
    }
    return keyOf(*record);
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
    Counterparts found =
        scanCounterparts(monitor, domainId, std::string(topic.constData(), size_t(topic.size())));
    // An endpoint the lookup did not find has no record to judge by.
    const bool known = chosen.type == side;
    CompatibilityTable& table = snapshot.m_table;

    if (side == WriterMatch) {
        std::optional<CompatibilityKey> key;
        if (known) {
            key = chosenAnnouncement(
                found.writers, handle, [&] { return findPublicationData(monitor, handle); },
                [&](const PublicationBuiltinTopicData& w) {
                    return CompatibilityKey::ofWriter(domainId, w);
                });
        }
        snapshot.m_judged = key.has_value();
        if (key) {
            snapshot.m_chosenGroup = table.addWriter(*key);
        }
        for (const DiscoveredReader& r : found.readers) {
            const int group = table.addReader(CompatibilityKey::ofReader(domainId, r.record));
            snapshot.add(r.handle, r.record.participant_key, group,
                         key ? table.check(snapshot.m_chosenGroup, group) : QosRuleSet());
        }
    } else {
        std::optional<CompatibilityKey> key;
        if (known) {
            key = chosenAnnouncement(
                found.readers, handle, [&] { return findSubscriptionData(monitor, handle); },
                [&](const SubscriptionBuiltinTopicData& r) {
                    return CompatibilityKey::ofReader(domainId, r);
                });
        }
        snapshot.m_judged = key.has_value();
        if (key) {
            snapshot.m_chosenGroup = table.addReader(*key);
        }
        for (const DiscoveredWriter& w : found.writers) {
            const int group = table.addWriter(CompatibilityKey::ofWriter(domainId, w.record));
            snapshot.add(w.handle, w.record.participant_key, group,
                         key ? table.check(group, snapshot.m_chosenGroup) : QosRuleSet());
        }
    }
    return snapshot;
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
