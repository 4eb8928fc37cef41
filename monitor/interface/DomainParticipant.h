// A participant of the ZORVAN middleware in one DDS domain, and the discovery queries the
// monitor runs through it. Implementations never throw across this interface: a failed
// operation returns a non-zero ReturnCode_t.
#pragma once

#include "BuiltinTopicData.h"
#include "RecordChange.h"

#include <memory>

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

    // The stored record itself, shared instead of copied: a record never changes once handed
    // out (an announcement with different data makes a new one), so a caller may keep it and
    // read it on any thread. `data` is left alone when the fetch fails. The defaults copy
    // through the operations above.
    virtual ReturnCode_t
    get_discovered_participant_record(std::shared_ptr<const ParticipantBuiltinTopicData>& data,
                                      const InstanceHandle_t& handle)
    {
        return shareCopy(data, handle, &DomainParticipant::get_discovered_participant_data);
    }
    virtual ReturnCode_t
    get_publication_record(std::shared_ptr<const PublicationBuiltinTopicData>& data,
                           const InstanceHandle_t& handle)
    {
        return shareCopy(data, handle, &DomainParticipant::get_publication_data);
    }
    virtual ReturnCode_t
    get_subscription_record(std::shared_ptr<const SubscriptionBuiltinTopicData>& data,
                            const InstanceHandle_t& handle)
    {
        return shareCopy(data, handle, &DomainParticipant::get_subscription_data);
    }

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

private:
    template <class Record>
    ReturnCode_t shareCopy(std::shared_ptr<const Record>& data, const InstanceHandle_t& handle,
                           ReturnCode_t (DomainParticipant::*fetch)(Record&,
                                                                    const InstanceHandle_t&))
    {
        auto copy = std::make_shared<Record>();
        const ReturnCode_t result = (this->*fetch)(*copy, handle);
        if (result == RETCODE_OK) {
            data = std::move(copy);
        }
        return result;
    }
};

} // namespace ZORVAN
