// What the monitor keeps per watched domain: its own participant there and the handle lists
// of the last two polling passes.
#pragma once

#include "DomainParticipant.h"

struct DomainEntry
{
    // Owned by the entry: created when the domain is included, deleted when it is excluded.
    ZORVAN::DomainParticipant* m_metaParticipant = nullptr;
    // The six lists below are touched by the polling thread only.
    ZORVAN::InstanceHandleSeq participantHandles;
    ZORVAN::InstanceHandleSeq prevParticipantHandles;
    ZORVAN::InstanceHandleSeq publicationHandles;
    ZORVAN::InstanceHandleSeq prevPublicationHandles;
    ZORVAN::InstanceHandleSeq subscriptionHandles;
    ZORVAN::InstanceHandleSeq prevSubscriptionHandles;
};
