// What the match panel compares for one chosen data writer or data reader, taken from the
// network at one moment as plain data: the chosen endpoint's announcement and every endpoint of
// the other side on its topic, in listing order, each judged against it. Qt Core only: the
// panel renders it, and it can be read and tested without widgets.
#pragma once

#include "BuiltinTopicData.h"
#include "CompatibilityKey.h"
#include "CompatibilityTable.h"
#include "EndpointInfo.h"
#include "MatchType.h"
#include "QosRule.h"
#include "Verdict.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class MonitorLib;
template <class Record> struct DiscoveredEndpoint;

class MatchSnapshot
{
public:
    struct Counterpart
    {
        std::string handleKey; // 16 raw bytes
        ZORVAN::BuiltinTopicKey_t participantKey;
        int group = 0;     // of its announcement in the snapshot's table
        QosRuleSet broken; // against the chosen endpoint; empty while that cannot be judged
    };

    // A counterpart the panel can show, with the process it runs in.
    struct Pick
    {
        int index = 0; // into counterparts()
        std::string processName;
    };

    // `chosen` is what the endpoint lookup found for the request (type -1 when nothing), `side`
    // the side the request names: a writer's counterparts are the readers, a reader's the
    // writers, and any other side has none. Takes MonitorLib::mutex itself, once for the walk
    // over the domains and once more when the chosen endpoint is not on the topic walked: never
    // call it while holding the mutex.
    static MatchSnapshot take(MonitorLib& monitor, uint32_t domainId,
                              const ZORVAN::InstanceHandle_t& handle, int side,
                              const EndpointInfo& chosen);

    // ReaderMatch when the counterparts are readers, WriterMatch when writers, -1 when none.
    int counterpartSide() const { return m_counterpartSide; }

    // The chosen endpoint's announcement; null when its record could not be had, and then
    // nothing can be judged.
    const CompatibilityKey* chosenKey() const;

    const std::vector<Counterpart>& counterparts() const { return m_counterparts; }
    const CompatibilityKey& key(const Counterpart& counterpart) const;

    // The counterparts at `indices` in the order they are offered when not all of them can be
    // shown: those that cannot match first, each part in the order given.
    std::vector<int> problemsFirst(std::vector<int> indices) const;

    // Walks `candidates` in order and picks up to `room` of them whose participant's system
    // information can be fetched (one whose participant cannot be fetched runs in no known
    // process and is passed over, after the failure line). `notShown` is set to how many were
    // left for want of room. Takes MonitorLib::mutex for the walk.
    std::vector<Pick> pick(MonitorLib& monitor, const std::vector<int>& candidates, int room,
                           int& notShown) const;

private:
    // Judges every endpoint of `others` against the chosen one (on `own`'s side).
    template <class Chosen, class Other>
    void judgeAll(MonitorLib& monitor, const ZORVAN::InstanceHandle_t& handle, bool known,
                  const std::vector<DiscoveredEndpoint<Chosen>>& own,
                  const std::vector<DiscoveredEndpoint<Other>>& others);
    void add(const ZORVAN::InstanceHandle_t& handle,
             const ZORVAN::BuiltinTopicKey_t& participantKey, int group, QosRuleSet broken);

    uint32_t m_domainId = 0;
    int m_counterpartSide = -1;
    bool m_judged = false;
    int m_chosenGroup = 0;
    CompatibilityTable m_table;
    std::vector<Counterpart> m_counterparts;
};
