#include "QosConversion.h"

#include "CycloneMemory.h"
#include "GuidKey.h"

#include <dds/ddsi/ddsi_xqos.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ZORVAN {

namespace {

// Where a policy is looked up, in order: the sample itself, then Cyclone's defaults for the
// entity kind. Publisher/subscriber and topic defaults cover the policies Cyclone keeps
// there rather than on the endpoint.
using QosChain = std::array<const dds_qos_t*, 4>;

QosChain writerChain(const dds_qos_t* sample)
{
    return {sample, &ddsi_default_qos_writer, &ddsi_default_qos_publisher_subscriber,
            &ddsi_default_qos_topic};
}

QosChain readerChain(const dds_qos_t* sample)
{
    return {sample, &ddsi_default_qos_reader, &ddsi_default_qos_publisher_subscriber,
            &ddsi_default_qos_topic};
}

template <typename Get> bool firstPresent(const QosChain& chain, Get get)
{
    for (const dds_qos_t* qos : chain) {
        if (qos != nullptr && get(qos)) {
            return true;
        }
    }
    return false;
}

std::string text(const char* value)
{
    return value != nullptr ? std::string(value) : std::string();
}

using OctetGetter = bool (*)(const dds_qos_t*, void**, size_t*);

void octets(const QosChain& chain, OctetGetter getter, OctetSeq& out)
{
    firstPresent(chain, [&](const dds_qos_t* qos) {
        void* raw = nullptr;
        size_t size = 0;
        if (!getter(qos, &raw, &size)) {
            return false;
        }
        CyclonePtr<void> owner(raw);
        const auto* bytes = static_cast<const uint8_t*>(raw);
        out.assign(bytes, bytes + (bytes != nullptr ? size : 0));
        return true;
    });
}

void partition(const QosChain& chain, PartitionQosPolicy& policy)
{
    firstPresent(chain, [&](const dds_qos_t* qos) {
        uint32_t count = 0;
        char** names = nullptr;
        if (!dds_qget_partition(qos, &count, &names)) {
            return false;
        }
        // Own every string before copying, so a failed copy cannot leak the rest.
        CyclonePtr<char*> array(names);
        std::vector<CyclonePtr<char>> owned;
        owned.reserve(names != nullptr ? count : 0);
        for (uint32_t i = 0; names != nullptr && i < count; ++i) {
            owned.emplace_back(names[i]);
        }
        policy.name.clear();
        policy.name.reserve(owned.size());
        for (const auto& name : owned) {
            policy.name.push_back(text(name.get()));
        }
        return true;
    });
}

// The policies writers and readers share.
template <typename Record>
void fillEndpoint(const dds_builtintopic_endpoint_t& sample, const QosChain& chain, Record& data)
{
    data.key = GuidKey::fromBytes(sample.key.v).toKey();
    data.participant_key = GuidKey::fromBytes(sample.participant_key.v).toKey();
    data.topic_name = text(sample.topic_name);
    data.type_name = text(sample.type_name);

    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_durability_kind_t kind;
        if (!dds_qget_durability(qos, &kind)) {
            return false;
        }
        data.durability.kind = QosConversion::durabilityKind(kind);
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_duration_t period;
        if (!dds_qget_deadline(qos, &period)) {
            return false;
        }
        data.deadline.period = QosConversion::duration(period);
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_duration_t budget;
        if (!dds_qget_latency_budget(qos, &budget)) {
            return false;
        }
        data.latency_budget.duration = QosConversion::duration(budget);
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_liveliness_kind_t kind;
        dds_duration_t lease;
        if (!dds_qget_liveliness(qos, &kind, &lease)) {
            return false;
        }
        data.liveliness.kind = QosConversion::livelinessKind(kind);
        data.liveliness.lease_duration = QosConversion::duration(lease);
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_reliability_kind_t kind;
        dds_duration_t blocking;
        if (!dds_qget_reliability(qos, &kind, &blocking)) {
            return false;
        }
        data.reliability.kind = QosConversion::reliabilityKind(kind);
        data.reliability.max_blocking_time = QosConversion::duration(blocking);
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_ownership_kind_t kind;
        if (!dds_qget_ownership(qos, &kind)) {
            return false;
        }
        data.ownership.kind = QosConversion::ownershipKind(kind);
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_destination_order_kind_t kind;
        if (!dds_qget_destination_order(qos, &kind)) {
            return false;
        }
        data.destination_order.kind = QosConversion::destinationOrderKind(kind);
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_presentation_access_scope_kind_t scope;
        bool coherent = false;
        bool ordered = false;
        if (!dds_qget_presentation(qos, &scope, &coherent, &ordered)) {
            return false;
        }
        data.presentation.access_scope = QosConversion::accessScope(scope);
        data.presentation.coherent_access = coherent;
        data.presentation.ordered_access = ordered;
        return true;
    });
    octets(chain, dds_qget_userdata, data.user_data.value);
    octets(chain, dds_qget_topicdata, data.topic_data.value);
    octets(chain, dds_qget_groupdata, data.group_data.value);
    partition(chain, data.partition);
}

} // namespace

Duration_t QosConversion::duration(dds_duration_t nanoseconds)
{
    Duration_t result;
    if (nanoseconds < 0) {
        return result;
    }
    const int64_t seconds = nanoseconds / DDS_NSECS_IN_SEC;
    if (nanoseconds == DDS_INFINITY || seconds >= DURATION_INFINITE_SEC) {
        result.sec = DURATION_INFINITE_SEC;
        result.nanosec = DURATION_INFINITE_NSEC;
        return result;
    }
    result.sec = int32_t(seconds);
    result.nanosec = uint32_t(nanoseconds % DDS_NSECS_IN_SEC);
    return result;
}

uint8_t QosConversion::durabilityKind(dds_durability_kind_t kind)
{
    switch (kind) {
    case DDS_DURABILITY_VOLATILE:
        return 0;
    case DDS_DURABILITY_TRANSIENT_LOCAL:
        return 1;
    case DDS_DURABILITY_TRANSIENT:
        return 2;
    case DDS_DURABILITY_PERSISTENT:
        return 3;
    }
    return 0;
}

uint8_t QosConversion::historyKind(dds_history_kind_t kind)
{
    return kind == DDS_HISTORY_KEEP_ALL ? 1 : 0;
}

uint8_t QosConversion::livelinessKind(dds_liveliness_kind_t kind)
{
    switch (kind) {
    case DDS_LIVELINESS_AUTOMATIC:
        return 0;
    case DDS_LIVELINESS_MANUAL_BY_PARTICIPANT:
        return 1;
    case DDS_LIVELINESS_MANUAL_BY_TOPIC:
        return 2;
    }
    return 0;
}

uint8_t QosConversion::reliabilityKind(dds_reliability_kind_t kind)
{
    switch (kind) {
    case DDS_RELIABILITY_BEST_EFFORT:
        return 1;
    case DDS_RELIABILITY_RELIABLE:
        return 2;
    }
    return 0;
}

uint8_t QosConversion::ownershipKind(dds_ownership_kind_t kind)
{
    return kind == DDS_OWNERSHIP_EXCLUSIVE ? 1 : 0;
}

uint8_t QosConversion::destinationOrderKind(dds_destination_order_kind_t kind)
{
    return kind == DDS_DESTINATIONORDER_BY_SOURCE_TIMESTAMP ? 1 : 0;
}

uint8_t QosConversion::accessScope(dds_presentation_access_scope_kind_t kind)
{
    switch (kind) {
    case DDS_PRESENTATION_INSTANCE:
        return 0;
    case DDS_PRESENTATION_TOPIC:
        return 1;
    case DDS_PRESENTATION_GROUP:
        return 2;
    }
    return 0;
}

void QosConversion::toParticipant(const dds_builtintopic_participant_t& sample,
                                  ParticipantBuiltinTopicData& data)
{
    data.key = GuidKey::fromBytes(sample.key.v).toKey();
    // Cyclone's default participant QoS has empty user data and no properties, which is
    // what the record holds already.
    const QosChain chain{sample.qos, nullptr, nullptr, nullptr};
    octets(chain, dds_qget_userdata, data.user_data.value);
    properties(sample.qos, data.property);
}

void QosConversion::toPublication(const dds_builtintopic_endpoint_t& sample,
                                  PublicationBuiltinTopicData& data)
{
    const QosChain chain = writerChain(sample.qos);
    fillEndpoint(sample, chain, data);
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_duration_t cleanup;
        dds_history_kind_t history;
        int32_t depth, samples, instances, perInstance;
        if (!dds_qget_durability_service(qos, &cleanup, &history, &depth, &samples, &instances,
                                         &perInstance)) {
            return false;
        }
        DurabilityServiceQosPolicy& policy = data.durability_service;
        policy.service_cleanup_delay = duration(cleanup);
        policy.history_kind = historyKind(history);
        policy.history_depth = depth;
        policy.max_samples = samples;
        policy.max_instances = instances;
        policy.max_samples_per_instance = perInstance;
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_duration_t lifespan;
        if (!dds_qget_lifespan(qos, &lifespan)) {
            return false;
        }
        data.lifespan.duration = duration(lifespan);
        return true;
    });
    firstPresent(chain, [&](const dds_qos_t* qos) {
        return dds_qget_ownership_strength(qos, &data.ownership_strength.value);
    });
}

void QosConversion::toSubscription(const dds_builtintopic_endpoint_t& sample,
                                   SubscriptionBuiltinTopicData& data)
{
    const QosChain chain = readerChain(sample.qos);
    fillEndpoint(sample, chain, data);
    firstPresent(chain, [&](const dds_qos_t* qos) {
        dds_duration_t separation;
        if (!dds_qget_time_based_filter(qos, &separation)) {
            return false;
        }
        data.time_based_filter.minimum_separation = duration(separation);
        return true;
    });
}

void QosConversion::properties(const dds_qos_t* qos, PropertyQosPolicy& policy)
{
    policy.value.clear();
    // Read straight from the policy rather than through dds_qget_prop: that one returns the
    // first value of a name, and a participant announces one "dds.sys_info.ip" per address.
    // Cyclone has checked every string it received for its terminating zero; a name or value
    // with an embedded zero therefore ends at that zero here.
    if (qos == nullptr || (qos->present & QP_PROPERTY_LIST) == 0) {
        return;
    }
    const dds_propertyseq_t& list = qos->property.value;
    if (list.props == nullptr) {
        return;
    }
    policy.value.reserve(list.n);
    for (uint32_t i = 0; i < list.n; ++i) {
        Property_t property;
        property.name = text(list.props[i].name);
        property.value = text(list.props[i].value);
        property.propagate = list.props[i].propagate != 0;
        policy.value.push_back(std::move(property));
    }
}

} // namespace ZORVAN
