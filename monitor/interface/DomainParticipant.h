// A participant of the ZORVAN middleware in one DDS domain, and the discovery queries the
// monitor runs through it. Implementations never throw across this interface: a failed
// operation returns a non-zero ReturnCode_t.
#pragma once

#include "BuiltinTopicData.h"
#include "RecordChange.h"

namespace ZORVAN {

class DomainParticipant
{
public:
    virtual ~DomainParticipant() = default;

    virtual ReturnCode_t delete_contained_entities() = 0;
    virtual DomainId_t get_domain_id() const = 0;
    virtual const InstanceHandle_t& get_instance_handle() const = 0;

    // Every participant alive in the domain, this process's own included.
    virtual ReturnCode_t get_discovered_participants(InstanceHandleSeq& participant_handles) = 0;
    virtual ReturnCode_t get_discovered_participant_data(ParticipantBuiltinTopicData& data,
                                                         const InstanceHandle_t& handle) = 0;

    // Every data writer alive in the domain; include_contained_entities also lists the
    // writers of this process.
    virtual ReturnCode_t get_publications(InstanceHandleSeq& publication_handles,
                                          bool include_contained_entities) = 0;
    virtual ReturnCode_t get_publication_data(PublicationBuiltinTopicData& data,
                                              const InstanceHandle_t& handle) = 0;

    virtual ReturnCode_t get_subscriptions(InstanceHandleSeq& subscription_handles,
                                           bool include_contained_entities) = 0;
    virtual ReturnCode_t get_subscription_data(SubscriptionBuiltinTopicData& data,
                                               const InstanceHandle_t& handle) = 0;

    // Replaces `changes` with the discovered participants, writers and readers whose record
    // was announced again with different data since the previous call, one entry per entity
    // in the order first noticed, and forgets them. A change is noticed when the participant
    // takes new discovery data, which every query above does; an announcement that repeats
    // the stored record is not a change, and an entity that is gone takes its change with
    // it. The default reports none.
    virtual ReturnCode_t take_record_changes(RecordChangeSeq& changes)
    {
        changes.clear();
        return RETCODE_OK;
    }
};

} // namespace ZORVAN
