// The rules under which a data writer's offer meets a data reader's request, one flag each, in
// the order the comparison lists them; with the DDS name of the policy each rule belongs to.
#pragma once

#include <QFlags>
#include <QString>
#include <array>
#include <cstdint>

enum class QosRule : uint32_t
{
    Domain = 1u << 0,
    TopicName = 1u << 1,
    TypeName = 1u << 2,
    Durability = 1u << 3,
    PresentationScope = 1u << 4,
    PresentationCoherent = 1u << 5,
    PresentationOrdered = 1u << 6,
    Deadline = 1u << 7,
    LatencyBudget = 1u << 8,
    Ownership = 1u << 9,
    LivelinessKind = 1u << 10,
    LivelinessLease = 1u << 11,
    Reliability = 1u << 12,
    DestinationOrder = 1u << 13,
    Partition = 1u << 14,
};
Q_DECLARE_FLAGS(QosRuleSet, QosRule)
Q_DECLARE_OPERATORS_FOR_FLAGS(QosRuleSet)

// Every rule, in flag order.
const std::array<QosRule, 15>& allQosRules();

// The policy's DDS name: "domain", "topic_name", "type_name", "durability", "presentation",
// "deadline", "latency_budget", "ownership", "liveliness", "reliability", "destination_order",
// "partition". The presentation and liveliness rules share their policy's name.
QString qosPolicyName(QosRule rule);

// One short sentence, translated, saying what breaking the rule means.
QString qosRuleExplanation(QosRule rule);
