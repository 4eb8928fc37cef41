// Meta-type declarations for the argument types of the QoS and match slots, so that the slots
// can be invoked through the meta-object system, also across threads (queued).
#pragma once

#include "MatchType.h"
#include "QoSType.h"
#include "ZorvanTypes.h"

#include <QMetaType>

Q_DECLARE_METATYPE(ZORVAN::InstanceHandle_t)
Q_DECLARE_METATYPE(QoSType)
Q_DECLARE_METATYPE(MatchType)

// Registers the types above under the names the slot signatures use. Safe to call repeatedly;
// the panels call it on construction.
void registerQosMetaTypes();
