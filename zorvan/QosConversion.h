// Turns the samples of Cyclone's builtin topics (GUIDs plus a dds_qos_t) into the builtin-topic
// records of the interface: standard DDS kind numbering, durations as sec/nanosec.
#pragma once

#include "BuiltinTopicData.h"

#include <dds/dds.h>

namespace ZORVAN {

class QosConversion
{
public:
    // Cyclone counts nanoseconds in an int64; DDS_INFINITY (and anything too long for 31
    // bits of seconds) becomes the interface's infinite duration, a negative one zero.
    static Duration_t duration(dds_duration_t nanoseconds);

    static uint8_t durabilityKind(dds_durability_kind_t kind);
    static uint8_t historyKind(dds_history_kind_t kind);
    static uint8_t livelinessKind(dds_liveliness_kind_t kind);
    static uint8_t reliabilityKind(dds_reliability_kind_t kind);
    static uint8_t ownershipKind(dds_ownership_kind_t kind);
    static uint8_t destinationOrderKind(dds_destination_order_kind_t kind);
    static uint8_t accessScope(dds_presentation_access_scope_kind_t kind);

    // A policy missing from the sample's QoS gets the value Cyclone gives that policy in a
    // newly created writer (or reader), so a record always shows what the entity would
    // behave like; only a policy Cyclone has no default for keeps the record's own default.
    static void toParticipant(const dds_builtintopic_participant_t& sample,
                              ParticipantBuiltinTopicData& data);
    static void toPublication(const dds_builtintopic_endpoint_t& sample,
                              PublicationBuiltinTopicData& data);
    static void toSubscription(const dds_builtintopic_endpoint_t& sample,
                               SubscriptionBuiltinTopicData& data);

    // Every property of the QoS in its own order, duplicates included; an absent policy
    // leaves the list empty.
    static void properties(const dds_qos_t* qos, PropertyQosPolicy& policy);
};

} // namespace ZORVAN
