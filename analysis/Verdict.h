// The judgement of one writer against one reader: compatible, or not with a reason for every
// rule broken, in the order the comparison lists the rules.
#pragma once

#include "QosRule.h"
#include "Reason.h"

#include <QString>
#include <QVector>

class Verdict
{
public:
    // Compatible: no rule broken.
    Verdict() = default;
    Verdict(QosRuleSet broken, QVector<Reason> reasons);

    bool isCompatible() const { return m_broken == QosRuleSet(); }
    QosRuleSet brokenRules() const { return m_broken; }
    const QVector<Reason>& reasons() const { return m_reasons; }
    // The reason for `rule`; null when the pair keeps it.
    const Reason* reason(QosRule rule) const;

    // "可以匹配", or "无法匹配：" followed by the reasons' texts separated by "；".
    QString summary() const;

private:
    QosRuleSet m_broken;
    QVector<Reason> m_reasons;
};
