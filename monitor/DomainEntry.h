// What the monitor keeps per watched domain: its own participant there, the handle lists of
// the last two polling passes and the record changes of the last pass.
#pragma once

#include "DomainParticipant.h"
#include "RecordChange.h"

#include <atomic>
#include <cstdint>

struct DomainEntry
{
    // Tells this entry from an earlier one of the same domain, whose participant may have
    // lived at the same address: whoever keeps what a domain discovered starts over on a new
    // serial.
    uint64_t serial = nextSerial();

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

    static uint64_t nextSerial()
    {
        static std::atomic<uint64_t> last{0};
        return ++last;
    }
};
