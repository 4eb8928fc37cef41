// QoS policy records of the ZORVAN builtin topics. Every kind is an unsigned 8-bit value
// with the standard DDS numbering, except reliability, which counts from 1.
#pragma once

#include "ZorvanTypes.h"

#include <string>
#include <vector>

namespace ZORVAN {

typedef std::vector<uint8_t> OctetSeq;

// kind: 0 volatile, 1 transient local, 2 transient, 3 persistent
struct DurabilityQosPolicy
{
    uint8_t kind = 0;
};

// history_kind: 0 keep last, 1 keep all
struct DurabilityServiceQosPolicy
{
    Duration_t service_cleanup_delay;
    uint8_t history_kind = 0;
    int32_t history_depth = 0;
    int32_t max_samples = 0;
    int32_t max_instances = 0;
    int32_t max_samples_per_instance = 0;
};

struct DeadlineQosPolicy
{
    Duration_t period;
};

struct LatencyBudgetQosPolicy
{
    Duration_t duration;
};

// kind: 0 automatic, 1 manual by participant, 2 manual by topic
struct LivelinessQosPolicy
{
    uint8_t kind = 0;
    Duration_t lease_duration;
};

// kind: 1 best effort, 2 reliable (0 is no kind)
struct ReliabilityQosPolicy
{
    uint8_t kind = 0;
    Duration_t max_blocking_time;
};

struct LifespanQosPolicy
{
    Duration_t duration;
};

struct UserDataQosPolicy
{
    OctetSeq value;
};

struct TopicDataQosPolicy
{
    OctetSeq value;
};

struct GroupDataQosPolicy
{
    OctetSeq value;
};

// kind: 0 shared, 1 exclusive
struct OwnershipQosPolicy
{
    uint8_t kind = 0;
};

struct OwnershipStrengthQosPolicy
{
    int32_t value = 0;
};

// kind: 0 by reception timestamp, 1 by source timestamp
struct DestinationOrderQosPolicy
{
    uint8_t kind = 0;
};

// access_scope: 0 instance, 1 topic, 2 group
struct PresentationQosPolicy
{
    uint8_t access_scope = 0;
    bool coherent_access = false;
    bool ordered_access = false;
};

struct PartitionQosPolicy
{
    std::vector<std::string> name;
};

struct TimeBasedFilterQosPolicy
{
    Duration_t minimum_separation;
};

struct Property_t
{
    std::string name;
    std::string value;
    bool propagate = true;
};

struct PropertyQosPolicy
{
    std::vector<Property_t> value;
};

struct DomainParticipantQos
{
    UserDataQosPolicy user_data;
    PropertyQosPolicy property;
};

} // namespace ZORVAN
