// The writers and readers of a topic judged once per distinct pair of keys: endpoints with the
// same key share a group, and each pair of groups is checked at most once. A topic with a
// thousand writers and a thousand readers in a handful of QoS variants costs a handful of
// judgements.
#pragma once

#include "CompatibilityKey.h"
#include "QosRule.h"
#include "Verdict.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class CompatibilityTable
{
public:
    // The group of the endpoint's key, new or existing.
    int addWriter(const CompatibilityKey& key);
    int addReader(const CompatibilityKey& key);

    int writerGroupCount() const { return int(m_writerKeys.size()); }
    int readerGroupCount() const { return int(m_readerKeys.size()); }
    const CompatibilityKey& writerKey(int group) const { return *m_writerKeys[size_t(group)]; }
    const CompatibilityKey& readerKey(int group) const { return *m_readerKeys[size_t(group)]; }

    // The rules a writer group breaks against a reader group; judged on first request.
    QosRuleSet check(int writerGroup, int readerGroup);
    Verdict judge(int writerGroup, int readerGroup) const;

    // How many pairs of groups have been checked so far.
    int checkedPairs() const { return m_checked; }

private:
    static int add(const CompatibilityKey& key, std::unordered_map<CompatibilityKey, int>& index,
                   std::vector<const CompatibilityKey*>& keys);

    // Keys live in the maps' nodes, which never move.
    std::unordered_map<CompatibilityKey, int> m_writerIndex;
    std::unordered_map<CompatibilityKey, int> m_readerIndex;
    std::vector<const CompatibilityKey*> m_writerKeys;
    std::vector<const CompatibilityKey*> m_readerKeys;
    // Per writer group, per reader group: the broken rules, or unchecked.
    std::vector<std::vector<uint32_t>> m_results;
    int m_checked = 0;
};
