#include "CompatibilityKey.h"

#include <functional>

namespace {

template <typename Record> void fill(CompatibilityKey& key, uint32_t domain, const Record& record)
{
    key.domain = domain;
    key.topicName = record.topic_name;
    key.typeName = record.type_name;
    key.durability = record.durability.kind;
    key.accessScope = record.presentation.access_scope;
    key.coherentAccess = record.presentation.coherent_access;
    key.orderedAccess = record.presentation.ordered_access;
    key.deadline = record.deadline.period;
    key.latencyBudget = record.latency_budget.duration;
    key.ownership = record.ownership.kind;
    key.livelinessKind = record.liveliness.kind;
    key.leaseDuration = record.liveliness.lease_duration;
    key.reliability = record.reliability.kind;
    key.destinationOrder = record.destination_order.kind;
    key.partitions = record.partition.name;
}

bool same(const ZORVAN::Duration_t& a, const ZORVAN::Duration_t& b)
{
    return a.sec == b.sec && a.nanosec == b.nanosec;
}

void mix(uint64_t& seed, uint64_t value)
{
    seed ^= value + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2);
}

void mix(uint64_t& seed, const ZORVAN::Duration_t& d)
{
    mix(seed, (uint64_t(uint32_t(d.sec)) << 32) | d.nanosec);
}

} // namespace

CompatibilityKey CompatibilityKey::ofWriter(uint32_t domain,
                                            const ZORVAN::PublicationBuiltinTopicData& w)
{
    CompatibilityKey key;
    fill(key, domain, w);
    return key;
}

CompatibilityKey CompatibilityKey::ofReader(uint32_t domain,
                                            const ZORVAN::SubscriptionBuiltinTopicData& r)
{
    CompatibilityKey key;
    fill(key, domain, r);
    return key;
}

bool CompatibilityKey::operator==(const CompatibilityKey& o) const
{
    return domain == o.domain && durability == o.durability && accessScope == o.accessScope &&
           coherentAccess == o.coherentAccess && orderedAccess == o.orderedAccess &&
           same(deadline, o.deadline) && same(latencyBudget, o.latencyBudget) &&
           ownership == o.ownership && livelinessKind == o.livelinessKind &&
           same(leaseDuration, o.leaseDuration) && reliability == o.reliability &&
           destinationOrder == o.destinationOrder && topicName == o.topicName &&
           typeName == o.typeName && partitions == o.partitions;
}

size_t CompatibilityKey::hash() const
{
    const std::hash<std::string> text;
    uint64_t seed = domain;
    mix(seed, text(topicName));
    mix(seed, text(typeName));
    mix(seed, uint64_t(durability) | uint64_t(accessScope) << 8 | uint64_t(coherentAccess) << 16 |
                  uint64_t(orderedAccess) << 17 | uint64_t(ownership) << 24 |
                  uint64_t(livelinessKind) << 32 | uint64_t(reliability) << 40 |
                  uint64_t(destinationOrder) << 48);
    mix(seed, deadline);
    mix(seed, latencyBudget);
    mix(seed, leaseDuration);
    for (const std::string& name : partitions) {
        mix(seed, text(name));
    }
    return size_t(seed);
}
