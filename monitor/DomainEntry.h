// What the monitor keeps per watched domain: its own participant there, the handle lists of
// the last two polling passes and the record changes of the last pass.
#pragma once

#include "DomainParticipant.h"
#include "RecordChange.h"

struct DomainEntry
{
    // Owned by the entry: created when the domain is included, deleted when it is excluded.
    ZORVAN::DomainParticipant* m_metaParticipant = nullptr;
    // Everything below is touched by the polling thread only.
    ZORVAN::InstanceHandleSeq participantHandles;
    ZORVAN::InstanceHandleSeq prevParticipantHandles;
    ZORVAN::InstanceHandleSeq publicationHandles;
    ZORVAN::InstanceHandleSeq prevPublicationHandles;
    ZORVAN::InstanceHandleSeq subscriptionHandles;
    ZORVAN::InstanceHandleSeq prevSubscriptionHandles;
    // The participants, writers and readers the last pass found re-announced with different
    // data, with the policies that changed (see DomainParticipant::take_record_changes).
    ZORVAN::RecordChangeSeq recordChanges;
};
