#include "CompatibilityEngine.h"

#include "PartitionMatch.h"
#include "QosText.h"

#include <QStringList>
#include <limits>
#include <string>
#include <vector>

namespace {

// What the rules read of one side, pointing into a key or a builtin-topic record, so that a
// record is judged without copying it.
struct Side
{
    uint32_t domain;
    const std::string& topicName;
    const std::string& typeName;
    uint8_t durability;
    uint8_t accessScope;
    bool coherentAccess;
    bool orderedAccess;
    const ZORVAN::Duration_t& deadline;
    const ZORVAN::Duration_t& latencyBudget;
    uint8_t ownership;
    uint8_t livelinessKind;
    const ZORVAN::Duration_t& leaseDuration;
    uint8_t reliability;
    uint8_t destinationOrder;
    const std::vector<std::string>& partitions;
};

Side sideOf(const CompatibilityKey& k)
{
    return {k.domain,         k.topicName,     k.typeName,    k.durability,       k.accessScope,
            k.coherentAccess, k.orderedAccess, k.deadline,    k.latencyBudget,    k.ownership,
            k.livelinessKind, k.leaseDuration, k.reliability, k.destinationOrder, k.partitions};
}

template <typename Record> Side sideOf(uint32_t domain, const Record& r)
{
    return {domain,
            r.topic_name,
            r.type_name,
            r.durability.kind,
            r.presentation.access_scope,
            r.presentation.coherent_access,
            r.presentation.ordered_access,
            r.deadline.period,
            r.latency_budget.duration,
            r.ownership.kind,
            r.liveliness.kind,
            r.liveliness.lease_duration,
            r.reliability.kind,
            r.destination_order.kind,
            r.partition.name};
}

// Kinds compare by their stored numbers, which the DDS numbering orders from the weakest offer
// to the strongest (reliability counts from 1, best effort below reliable).
QosRuleSet brokenRules(const Side& w, const Side& r)
{
    using E = CompatibilityEngine;
    QosRuleSet broken;
    auto rule = [&broken](bool kept, QosRule which) {
        if (!kept) {
            broken |= which;
        }
    };
    rule(w.domain == r.domain, QosRule::Domain);
    rule(w.topicName == r.topicName, QosRule::TopicName);
    // Cyclone compares type names only when one side announces no type information (XTypes);
    // with it on both sides it asks whether the types are assignable instead, names aside.
    // The records carry no type information, and endpoints announcing names alone are the
    // case the monitor can judge.
    rule(w.typeName == r.typeName, QosRule::TypeName);
    rule(w.durability >= r.durability, QosRule::Durability);
    rule(w.accessScope >= r.accessScope, QosRule::PresentationScope);
    rule(w.coherentAccess || !r.coherentAccess, QosRule::PresentationCoherent);
    rule(w.orderedAccess || !r.orderedAccess, QosRule::PresentationOrdered);
    rule(E::nanoseconds(w.deadline) <= E::nanoseconds(r.deadline), QosRule::Deadline);
    rule(E::nanoseconds(w.latencyBudget) <= E::nanoseconds(r.latencyBudget),
         QosRule::LatencyBudget);
    rule(w.ownership == r.ownership, QosRule::Ownership);
    rule(w.livelinessKind >= r.livelinessKind, QosRule::LivelinessKind);
    rule(E::nanoseconds(w.leaseDuration) <= E::nanoseconds(r.leaseDuration),
         QosRule::LivelinessLease);
    rule(w.reliability >= r.reliability, QosRule::Reliability);
    rule(w.destinationOrder >= r.destinationOrder, QosRule::DestinationOrder);
    // Patterns as Cyclone reads them, which is not quite fnmatch(): see PartitionMatch.
    rule(PartitionMatch::listsMeet(w.partitions, r.partitions), QosRule::Partition);
    return broken;
}

// A kind's enumerator name as the QoS panel shows it; a number outside the enumeration as the
// number, so that a reason never shows an empty value.
QString kindText(QString (*text)(uint8_t), uint8_t kind)
{
    const QString name = text(kind);
    return name.isEmpty() ? QString::number(kind) : name;
}

QString bytesText(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

QString valueText(QosRule rule, const Side& s)
{
    switch (rule) {
    case QosRule::Domain:
        return QString::number(s.domain);
    case QosRule::TopicName:
        return bytesText(s.topicName);
    case QosRule::TypeName:
        return bytesText(s.typeName);
    case QosRule::Durability:
        return kindText(durabilityKindText, s.durability);
    case QosRule::PresentationScope:
        return kindText(presentationScopeText, s.accessScope);
    case QosRule::PresentationCoherent:
        return boolText(s.coherentAccess);
    case QosRule::PresentationOrdered:
        return boolText(s.orderedAccess);
    case QosRule::Deadline:
        return durationText(s.deadline);
    case QosRule::LatencyBudget:
        return durationText(s.latencyBudget);
    case QosRule::Ownership:
        return kindText(ownershipKindText, s.ownership);
    case QosRule::LivelinessKind:
        return kindText(livelinessKindText, s.livelinessKind);
    case QosRule::LivelinessLease:
        return durationText(s.leaseDuration);
    case QosRule::Reliability:
        return kindText(reliabilityKindText, s.reliability);
    case QosRule::DestinationOrder:
        return kindText(destinationOrderKindText, s.destinationOrder);
    case QosRule::Partition: {
        QStringList names;
        for (const std::string& name : s.partitions) {
            names << bytesText(name);
        }
        return names.join(QLatin1Char(','));
    }
    }
    return QString();
}

Verdict verdictOf(const Side& w, const Side& r)
{
    const QosRuleSet broken = brokenRules(w, r);
    if (broken == QosRuleSet()) {
        return Verdict();
    }
    QVector<Reason> reasons;
    for (QosRule rule : allQosRules()) {
        if (broken.testFlag(rule)) {
            reasons.append(Reason{rule, qosPolicyName(rule), valueText(rule, w), valueText(rule, r),
                                  qosRuleExplanation(rule)});
        }
    }
    return Verdict(broken, reasons);
}

} // namespace

QosRuleSet CompatibilityEngine::check(const CompatibilityKey& writer,
                                      const CompatibilityKey& reader)
{
    return brokenRules(sideOf(writer), sideOf(reader));
}

QosRuleSet CompatibilityEngine::check(uint32_t writerDomain,
                                      const ZORVAN::PublicationBuiltinTopicData& writer,
                                      uint32_t readerDomain,
                                      const ZORVAN::SubscriptionBuiltinTopicData& reader)
{
    return brokenRules(sideOf(writerDomain, writer), sideOf(readerDomain, reader));
}

Verdict CompatibilityEngine::judge(const CompatibilityKey& writer, const CompatibilityKey& reader)
{
    return verdictOf(sideOf(writer), sideOf(reader));
}

Verdict CompatibilityEngine::judge(uint32_t writerDomain,
                                   const ZORVAN::PublicationBuiltinTopicData& writer,
                                   uint32_t readerDomain,
                                   const ZORVAN::SubscriptionBuiltinTopicData& reader)
{
    return verdictOf(sideOf(writerDomain, writer), sideOf(readerDomain, reader));
}

int64_t CompatibilityEngine::nanoseconds(const ZORVAN::Duration_t& duration)
{
    if (duration.sec == ZORVAN::DURATION_INFINITE_SEC &&
        (duration.nanosec == ZORVAN::DURATION_INFINITE_NSEC || duration.nanosec == 0xffffffffu)) {
        return std::numeric_limits<int64_t>::max();
    }
    // At most 2^31 s and 2^32 ns: far inside 64 bits.
    return int64_t(duration.sec) * 1000000000 + int64_t(duration.nanosec);
}
