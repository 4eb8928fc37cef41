#include "QosRule.h"

#include <QCoreApplication>

namespace {

struct RuleText
{
    QosRule rule;
    const char* policy;
    const char* explanation;
};

const RuleText ruleTexts[] = {
    {QosRule::Domain, "domain", QT_TRANSLATE_NOOP("QosRule", "发布端和订阅端不在同一个域中")},
    {QosRule::TopicName, "topic_name",
     QT_TRANSLATE_NOOP("QosRule", "话题名称不同（逐字节比较，区分大小写）")},
    {QosRule::TypeName, "type_name", QT_TRANSLATE_NOOP("QosRule", "类型名称不同")},
    {QosRule::Durability, "durability",
     QT_TRANSLATE_NOOP("QosRule", "发布端提供的持久性低于订阅端的要求")},
    {QosRule::PresentationScope, "presentation",
     QT_TRANSLATE_NOOP("QosRule", "发布端的访问范围小于订阅端的要求")},
    {QosRule::PresentationCoherent, "presentation",
     QT_TRANSLATE_NOOP("QosRule", "订阅端要求一致性访问（coherent），发布端未提供")},
    {QosRule::PresentationOrdered, "presentation",
     QT_TRANSLATE_NOOP("QosRule", "订阅端要求有序访问（ordered），发布端未提供")},
    {QosRule::Deadline, "deadline",
     QT_TRANSLATE_NOOP("QosRule", "发布端的截止期限长于订阅端要求的期限")},
    {QosRule::LatencyBudget, "latency_budget",
     QT_TRANSLATE_NOOP("QosRule", "发布端的延迟预算大于订阅端的要求")},
    {QosRule::Ownership, "ownership",
     QT_TRANSLATE_NOOP("QosRule", "发布端和订阅端的所有权类型不同")},
    {QosRule::LivelinessKind, "liveliness",
     QT_TRANSLATE_NOOP("QosRule", "发布端的活跃性类型低于订阅端的要求")},
    {QosRule::LivelinessLease, "liveliness",
     QT_TRANSLATE_NOOP("QosRule", "发布端的活跃性租期长于订阅端要求的租期")},
    {QosRule::Reliability, "reliability",
     QT_TRANSLATE_NOOP("QosRule", "发布端提供的可靠性低于订阅端的要求")},
    {QosRule::DestinationOrder, "destination_order",
     QT_TRANSLATE_NOOP("QosRule", "发布端的数据排序方式低于订阅端的要求")},
    {QosRule::Partition, "partition", QT_TRANSLATE_NOOP("QosRule", "发布端和订阅端没有共同的分区")},
};

static_assert(sizeof(ruleTexts) / sizeof(ruleTexts[0]) == 15, "one text per rule");

const RuleText& textOf(QosRule rule)
{
    for (const RuleText& text : ruleTexts) {
        if (text.rule == rule) {
            return text;
        }
    }
    return ruleTexts[0];
}

} // namespace

const std::array<QosRule, 15>& allQosRules()
{
    static const std::array<QosRule, 15> rules = [] {
        std::array<QosRule, 15> list{};
        for (size_t i = 0; i < list.size(); ++i) {
            list[i] = ruleTexts[i].rule;
        }
        return list;
    }();
    return rules;
}

QString qosPolicyName(QosRule rule)
{
    return QString::fromLatin1(textOf(rule).policy);
}

QString qosRuleExplanation(QosRule rule)
{
    return QCoreApplication::translate("QosRule", textOf(rule).explanation);
}
