// A ZORVAN participant backed by one Cyclone participant and its three builtin-topic readers.
// It takes only what is new from the readers, converts each sample once (translating the host
// and process identity other implementations announce, see VendorIdentity) and answers every
// query from its own tables, so listing costs a copy of the handles.
#pragma once

#include "BuiltinTable.h"
#include "DomainParticipant.h"
#include "RecordChangeJournal.h"

#include <dds/dds.h>

#include <memory>
#include <mutex>
#include <vector>

namespace ZORVAN {

class CycloneDomainParticipant : public DomainParticipant
{
public:
    // nullptr when Cyclone cannot create the participant or its readers.
    static std::unique_ptr<CycloneDomainParticipant> create(DomainId_t domainId,
                                                            const dds_qos_t* qos);
    ~CycloneDomainParticipant() override;

    CycloneDomainParticipant(const CycloneDomainParticipant&) = delete;
    CycloneDomainParticipant& operator=(const CycloneDomainParticipant&) = delete;

    // Deletes the builtin-topic readers; afterwards every query fails with
    // RETCODE_PRECONDITION_NOT_MET.
    ReturnCode_t delete_contained_entities() override;
    DomainId_t get_domain_id() const override;
    const InstanceHandle_t& get_instance_handle() const override;

    ReturnCode_t get_discovered_participants(InstanceHandleSeq& participant_handles) override;
    ReturnCode_t get_discovered_participant_data(ParticipantBuiltinTopicData& data,
                                                 const InstanceHandle_t& handle) override;
    // Without include_contained_entities, the writers of every participant of this process in
    // this domain are left out.
    ReturnCode_t get_publications(InstanceHandleSeq& publication_handles,
                                  bool include_contained_entities) override;
    ReturnCode_t get_publication_data(PublicationBuiltinTopicData& data,
                                      const InstanceHandle_t& handle) override;
    ReturnCode_t get_subscriptions(InstanceHandleSeq& subscription_handles,
                                   bool include_contained_entities) override;
    ReturnCode_t get_subscription_data(SubscriptionBuiltinTopicData& data,
                                       const InstanceHandle_t& handle) override;
    ReturnCode_t take_record_changes(RecordChangeSeq& changes) override;
    // The stored records, shared without a copy.
    ReturnCode_t
    get_discovered_participant_record(std::shared_ptr<const ParticipantBuiltinTopicData>& data,
                                      const InstanceHandle_t& handle) override;
    ReturnCode_t get_publication_record(std::shared_ptr<const PublicationBuiltinTopicData>& data,
                                        const InstanceHandle_t& handle) override;
    ReturnCode_t get_subscription_record(std::shared_ptr<const SubscriptionBuiltinTopicData>& data,
                                         const InstanceHandle_t& handle) override;

    // Attaches to `waitset` a read condition on each builtin reader that holds while the
    // reader has samples no query has taken yet, and hands them back (they belong to the
    // readers, so deleting the participant deletes and detaches them).
    // RETCODE_PRECONDITION_NOT_MET once the readers are deleted.
    ReturnCode_t attachReadConditions(dds_entity_t waitset, std::vector<dds_entity_t>& conditions);

private:
    CycloneDomainParticipant(DomainId_t domainId, dds_entity_t participant,
                             const InstanceHandle_t& handle);

    ReturnCode_t takeParticipants();
    ReturnCode_t takePublications();
    ReturnCode_t takeSubscriptions();
    template <typename Record>
    ReturnCode_t listEndpoints(BuiltinTable<Record>& table, InstanceHandleSeq& handles,
                               bool includeOwn);

    const DomainId_t m_domainId;
    const dds_entity_t m_participant;
    const InstanceHandle_t m_handle;

    std::mutex m_mutex;
    dds_entity_t m_participantReader = 0;                     // guarded by m_mutex; 0 once deleted
    dds_entity_t m_publicationReader = 0;                     // guarded by m_mutex
    dds_entity_t m_subscriptionReader = 0;                    // guarded by m_mutex
    BuiltinTable<ParticipantBuiltinTopicData> m_participants; // guarded by m_mutex
    BuiltinTable<PublicationBuiltinTopicData> m_publications; // guarded by m_mutex
    BuiltinTable<SubscriptionBuiltinTopicData> m_subscriptions; // guarded by m_mutex
    RecordChangeJournal m_changes;                              // guarded by m_mutex
};

} // namespace ZORVAN
