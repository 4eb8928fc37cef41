#include "MetaTypes.h"

#include <cstdint>

void registerQosMetaTypes()
{
    // The names must match the normalized slot signatures for queued invocation.
    qRegisterMetaType<ZORVAN::InstanceHandle_t>("ZORVAN::InstanceHandle_t");
    qRegisterMetaType<QoSType>("QoSType");
    qRegisterMetaType<MatchType>("MatchType");
    qRegisterMetaType<uint32_t>("uint32_t");
}
