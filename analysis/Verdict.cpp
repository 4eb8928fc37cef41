#include "Verdict.h"

#include <QCoreApplication>
#include <QStringList>
#include <utility>

Verdict::Verdict(QosRuleSet broken, QVector<Reason> reasons)
    : m_broken(broken), m_reasons(std::move(reasons))
{
}

const Reason* Verdict::reason(QosRule rule) const
{
    for (const Reason& reason : m_reasons) {
        if (reason.rule == rule) {
            return &reason;
        }
    }
    return nullptr;
}

QString Verdict::summary() const
{
    if (isCompatible()) {
        return QCoreApplication::translate("Verdict", "可以匹配");
    }
    QStringList texts;
    for (const Reason& reason : m_reasons) {
        texts << reason.text();
    }
    return QCoreApplication::translate("Verdict", "无法匹配：") +
           texts.join(QCoreApplication::translate("Verdict", "；", "between two reasons"));
}
