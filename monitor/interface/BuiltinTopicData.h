// The three builtin-topic records of the ZORVAN interface: what a participant learns about
// the participants, data writers (publications) and data readers (subscriptions) it discovers.
// Default-constructed records hold zero kinds, zero durations and empty texts.
#pragma once

#include "ZorvanQos.h"

#include <string>

namespace ZORVAN {

struct ParticipantBuiltinTopicData
{
    BuiltinTopicKey_t key;
    UserDataQosPolicy user_data;
    PropertyQosPolicy property;
};

struct PublicationBuiltinTopicData
{
    BuiltinTopicKey_t key;
    BuiltinTopicKey_t participant_key;
    std::string topic_name; // UTF-8 bytes as announced
    std::string type_name;
    DurabilityQosPolicy durability;
    DurabilityServiceQosPolicy durability_service;
    DeadlineQosPolicy deadline;
    LatencyBudgetQosPolicy latency_budget;
    LivelinessQosPolicy liveliness;
    ReliabilityQosPolicy reliability;
    LifespanQosPolicy lifespan;
    UserDataQosPolicy user_data;
    OwnershipQosPolicy ownership;
    OwnershipStrengthQosPolicy ownership_strength;
    DestinationOrderQosPolicy destination_order;
    PresentationQosPolicy presentation;
    PartitionQosPolicy partition;
    TopicDataQosPolicy topic_data;
    GroupDataQosPolicy group_data;
};

struct SubscriptionBuiltinTopicData
{
    BuiltinTopicKey_t key;
    BuiltinTopicKey_t participant_key;
    std::string topic_name;
    std::string type_name;
    DurabilityQosPolicy durability;
    DeadlineQosPolicy deadline;
    LatencyBudgetQosPolicy latency_budget;
    LivelinessQosPolicy liveliness;
    ReliabilityQosPolicy reliability;
    OwnershipQosPolicy ownership;
    DestinationOrderQosPolicy destination_order;
    UserDataQosPolicy user_data;
    TimeBasedFilterQosPolicy time_based_filter;
    PresentationQosPolicy presentation;
    PartitionQosPolicy partition;
    TopicDataQosPolicy topic_data;
    GroupDataQosPolicy group_data;
};

} // namespace ZORVAN
