#include "CompatibilityTable.h"

#include "CompatibilityEngine.h"

namespace {

// No rule set reaches the top bit.
const uint32_t unchecked = 0x80000000u;

} // namespace

int CompatibilityTable::add(const CompatibilityKey& key,
                            std::unordered_map<CompatibilityKey, int>& index,
                            std::vector<const CompatibilityKey*>& keys)
{
    const auto inserted = index.emplace(key, int(keys.size()));
    if (inserted.second) {
        keys.push_back(&inserted.first->first);
    }
    return inserted.first->second;
}

int CompatibilityTable::addWriter(const CompatibilityKey& key)
{
    const int group = add(key, m_writerIndex, m_writerKeys);
    m_results.resize(m_writerKeys.size());
    return group;
}

int CompatibilityTable::addReader(const CompatibilityKey& key)
{
    return add(key, m_readerIndex, m_readerKeys);
}

QosRuleSet CompatibilityTable::check(int writerGroup, int readerGroup)
{
    std::vector<uint32_t>& row = m_results[size_t(writerGroup)];
    if (row.size() < m_readerKeys.size()) {
        row.resize(m_readerKeys.size(), unchecked);
    }
    uint32_t& result = row[size_t(readerGroup)];
    if (result == unchecked) {
        result =
            uint32_t(CompatibilityEngine::check(writerKey(writerGroup), readerKey(readerGroup)));
        ++m_checked;
    }
    return QosRuleSet(QFlag(int(result)));
}

Verdict CompatibilityTable::judge(int writerGroup, int readerGroup) const
{
    return CompatibilityEngine::judge(writerKey(writerGroup), readerKey(readerGroup));
}
