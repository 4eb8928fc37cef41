// The parts of a writer's or reader's announcement that the matching rules read, as one value.
// Endpoints with equal keys are judged alike, so a topic with many writers and readers is
// judged once per distinct pair of keys (see CompatibilityTable) rather than once per pair.
#pragma once

#include "BuiltinTopicData.h"

#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct CompatibilityKey
{
    uint32_t domain = 0;
    std::string topicName; // bytes as announced
    std::string typeName;
    uint8_t durability = 0;
    uint8_t accessScope = 0;
    bool coherentAccess = false;
    bool orderedAccess = false;
    ZORVAN::Duration_t deadline;
    ZORVAN::Duration_t latencyBudget;
    uint8_t ownership = 0;
    uint8_t livelinessKind = 0;
    ZORVAN::Duration_t leaseDuration;
    uint8_t reliability = 0;
    uint8_t destinationOrder = 0;
    std::vector<std::string> partitions; // as announced; empty: the default partition

    static CompatibilityKey ofWriter(uint32_t domain, const ZORVAN::PublicationBuiltinTopicData& w);
    static CompatibilityKey ofReader(uint32_t domain,
                                     const ZORVAN::SubscriptionBuiltinTopicData& r);

    // Field by field; durations by their two numbers.
    bool operator==(const CompatibilityKey& other) const;
    bool operator!=(const CompatibilityKey& other) const { return !(*this == other); }
    size_t hash() const;
};

inline uint qHash(const CompatibilityKey& key, uint seed = 0)
{
    return uint(key.hash()) ^ seed;
}

namespace std {
template <> struct hash<CompatibilityKey>
{
    size_t operator()(const CompatibilityKey& key) const { return key.hash(); }
};
} // namespace std
