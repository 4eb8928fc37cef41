// Why a writer and a reader cannot match, for one rule: the policy's DDS name, what each side
// has (as the QoS panel writes it) and a short sentence for a tooltip.
#pragma once

#include "QosRule.h"

#include <QString>

struct Reason
{
    QosRule rule = QosRule::Domain;
    QString policy;      // "reliability", "partition", "type_name", ...
    QString writerValue; // offered
    QString readerValue; // requested
    QString explanation; // translated

    // One line for lists and the command line: "reliability：发布端提供的可靠性低于订阅端的要求
    // （发布端 BEST_EFFORT_RELIABILITY_QOS，订阅端 RELIABLE_RELIABILITY_QOS）".
    QString text() const;
};
