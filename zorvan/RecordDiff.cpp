#include "RecordDiff.h"

#include <cstring>

namespace ZORVAN {

namespace {

// One bit per name, in the order the names are reported.
enum Policy : uint32_t
{
    TopicName,
    TypeName,
    ParticipantKey,
    Durability,
    DurabilityService,
    Deadline,
    LatencyBudget,
    Liveliness,
    Reliability,
    Lifespan,
    UserData,
    Ownership,
    OwnershipStrength,
    DestinationOrder,
    TimeBasedFilter,
    Presentation,
    Partition,
    TopicData,
    GroupData,
    Property,
    PolicyCount
};

const char* const policyNames[PolicyCount] = {
    "topic_name",         "type_name",         "participant_key",   "durability",
    "durability_service", "deadline",          "latency_budget",    "liveliness",
    "reliability",        "lifespan",          "user_data",         "ownership",
    "ownership_strength", "destination_order", "time_based_filter", "presentation",
    "partition",          "topic_data",        "group_data",        "property",
};

bool same(const Duration_t& a, const Duration_t& b)
{
    return a.sec == b.sec && a.nanosec == b.nanosec;
}

bool same(const BuiltinTopicKey_t& a, const BuiltinTopicKey_t& b)
{
    return std::memcmp(a.value, b.value, sizeof(a.value)) == 0;
}

bool same(const DurabilityServiceQosPolicy& a, const DurabilityServiceQosPolicy& b)
{
    return same(a.service_cleanup_delay, b.service_cleanup_delay) &&
           a.history_kind == b.history_kind && a.history_depth == b.history_depth &&
           a.max_samples == b.max_samples && a.max_instances == b.max_instances &&
           a.max_samples_per_instance == b.max_samples_per_instance;
}

bool same(const LivelinessQosPolicy& a, const LivelinessQosPolicy& b)
{
    return a.kind == b.kind && same(a.lease_duration, b.lease_duration);
}

bool same(const ReliabilityQosPolicy& a, const ReliabilityQosPolicy& b)
{
    return a.kind == b.kind && same(a.max_blocking_time, b.max_blocking_time);
}

bool same(const PresentationQosPolicy& a, const PresentationQosPolicy& b)
{
    return a.access_scope == b.access_scope && a.coherent_access == b.coherent_access &&
           a.ordered_access == b.ordered_access;
}

bool same(const PropertyQosPolicy& a, const PropertyQosPolicy& b)
{
    if (a.value.size() != b.value.size()) {
        return false;
    }
    for (size_t i = 0; i < a.value.size(); ++i) {
        const Property_t& x = a.value[i];
        const Property_t& y = b.value[i];
        if (x.name != y.name || x.value != y.value || x.propagate != y.propagate) {
            return false;
        }
    }
    return true;
}

class Collect
{
public:
    void check(Policy policy, bool unchanged)
    {
        if (!unchanged) {
            m_policies |= RecordDiff::Policies(1) << policy;
        }
    }
    RecordDiff::Policies policies() const { return m_policies; }

private:
    RecordDiff::Policies m_policies = 0;
};

// What writers and readers have in common.
template <typename Endpoint>
void compareEndpoints(const Endpoint& a, const Endpoint& b, Collect& diff)
{
    diff.check(TopicName, a.topic_name == b.topic_name);
    diff.check(TypeName, a.type_name == b.type_name);
    diff.check(ParticipantKey, same(a.participant_key, b.participant_key));
    diff.check(Durability, a.durability.kind == b.durability.kind);
    diff.check(Deadline, same(a.deadline.period, b.deadline.period));
    diff.check(LatencyBudget, same(a.latency_budget.duration, b.latency_budget.duration));
    diff.check(Liveliness, same(a.liveliness, b.liveliness));
    diff.check(Reliability, same(a.reliability, b.reliability));
    diff.check(UserData, a.user_data.value == b.user_data.value);
    diff.check(Ownership, a.ownership.kind == b.ownership.kind);
    diff.check(DestinationOrder, a.destination_order.kind == b.destination_order.kind);
    diff.check(Presentation, same(a.presentation, b.presentation));
    diff.check(Partition, a.partition.name == b.partition.name);
    diff.check(TopicData, a.topic_data.value == b.topic_data.value);
    diff.check(GroupData, a.group_data.value == b.group_data.value);
}

} // namespace

RecordDiff::Policies RecordDiff::between(const ParticipantBuiltinTopicData& stored,
                                         const ParticipantBuiltinTopicData& fresh)
{
    Collect diff;
    diff.check(UserData, stored.user_data.value == fresh.user_data.value);
    diff.check(Property, same(stored.property, fresh.property));
    return diff.policies();
}

RecordDiff::Policies RecordDiff::between(const PublicationBuiltinTopicData& stored,
                                         const PublicationBuiltinTopicData& fresh)
{
    Collect diff;
    compareEndpoints(stored, fresh, diff);
    diff.check(DurabilityService, same(stored.durability_service, fresh.durability_service));
    diff.check(Lifespan, same(stored.lifespan.duration, fresh.lifespan.duration));
    diff.check(OwnershipStrength,
               stored.ownership_strength.value == fresh.ownership_strength.value);
    return diff.policies();
}

RecordDiff::Policies RecordDiff::between(const SubscriptionBuiltinTopicData& stored,
                                         const SubscriptionBuiltinTopicData& fresh)
{
    Collect diff;
    compareEndpoints(stored, fresh, diff);
    diff.check(TimeBasedFilter, same(stored.time_based_filter.minimum_separation,
                                     fresh.time_based_filter.minimum_separation));
    return diff.policies();
}

std::vector<std::string> RecordDiff::names(Policies policies)
{
    std::vector<std::string> result;
    for (uint32_t policy = 0; policy < PolicyCount; ++policy) {
        if (policies & (Policies(1) << policy)) {
            result.emplace_back(policyNames[policy]);
        }
    }
    return result;
}

} // namespace ZORVAN
