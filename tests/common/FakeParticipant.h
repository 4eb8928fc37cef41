// In-process double of a middleware participant, for what a real middleware cannot produce on
// demand: failing queries, chosen handle bytes, the same handle in two domains.
#pragma once

#include "DomainParticipant.h"

#include <atomic>
#include <map>
#include <string>
#include <vector>

class FakeParticipant : public ZORVAN::DomainParticipant
{
public:
    // Which operations fail (return a non-zero code).
    struct Failures
    {
        bool participants = false;
        bool participantData = false;
        bool publications = false;
        bool publicationData = false;
        bool subscriptions = false;
        bool subscriptionData = false;
    };

    explicit FakeParticipant(ZORVAN::DomainId_t domainId, uint8_t ownKeyByte = 0xee);

    // Listed in the order added; adding an existing key replaces its record in place and notes
    // the change for take_record_changes(), as a middleware would (call it while holding
    // MonitorLib::mutex once the fake is watched).
    void addParticipant(const ZORVAN::ParticipantBuiltinTopicData& data);
    void addPublication(const ZORVAN::PublicationBuiltinTopicData& data);
    void addSubscription(const ZORVAN::SubscriptionBuiltinTopicData& data);
    void removeParticipant(const ZORVAN::BuiltinTopicKey_t& key);
    void removePublication(const ZORVAN::BuiltinTopicKey_t& key);
    void removeSubscription(const ZORVAN::BuiltinTopicKey_t& key);
    // Handles listed in addition to the records (no record behind them: data queries fail).
    void addDanglingPublicationHandle(const ZORVAN::InstanceHandle_t& handle);

    // Handed over by the next take_record_changes(); change it only while holding
    // MonitorLib::mutex, as the polling thread takes it.
    ZORVAN::RecordChangeSeq pendingChanges;

    Failures failures;
    // Counts of calls, for tests that check what was queried.
    // listCalls is read by tests while the polling thread counts.
    std::atomic<int> listCalls{0};
    int deleteContainedCalls = 0;

    ZORVAN::ReturnCode_t delete_contained_entities() override;
    ZORVAN::DomainId_t get_domain_id() const override { return m_domainId; }
    const ZORVAN::InstanceHandle_t& get_instance_handle() const override { return m_handle; }
    ZORVAN::ReturnCode_t get_discovered_participants(ZORVAN::InstanceHandleSeq& handles) override;
    ZORVAN::ReturnCode_t
    get_discovered_participant_data(ZORVAN::ParticipantBuiltinTopicData& data,
                                    const ZORVAN::InstanceHandle_t& handle) override;
    ZORVAN::ReturnCode_t get_publications(ZORVAN::InstanceHandleSeq& handles, bool) override;
    ZORVAN::ReturnCode_t get_publication_data(ZORVAN::PublicationBuiltinTopicData& data,
                                              const ZORVAN::InstanceHandle_t& handle) override;
    ZORVAN::ReturnCode_t get_subscriptions(ZORVAN::InstanceHandleSeq& handles, bool) override;
    ZORVAN::ReturnCode_t get_subscription_data(ZORVAN::SubscriptionBuiltinTopicData& data,
                                               const ZORVAN::InstanceHandle_t& handle) override;
    ZORVAN::ReturnCode_t take_record_changes(ZORVAN::RecordChangeSeq& changes) override
    {
        changes.swap(pendingChanges);
        pendingChanges.clear();
        return ZORVAN::RETCODE_OK;
    }

    // A key whose 16 bytes are all `byte`, with the last byte set to `last`.
    static ZORVAN::BuiltinTopicKey_t key(uint8_t byte, uint8_t last = 0);

private:
    template <class Record>
    void put(std::vector<Record>& records, const Record& data, ZORVAN::RecordKind kind);
    template <class Record>
    static void drop(std::vector<Record>& records, const ZORVAN::BuiltinTopicKey_t& key);

    ZORVAN::DomainId_t m_domainId;
    ZORVAN::InstanceHandle_t m_handle;
    std::vector<ZORVAN::ParticipantBuiltinTopicData> m_participants;
    std::vector<ZORVAN::PublicationBuiltinTopicData> m_publications;
    std::vector<ZORVAN::SubscriptionBuiltinTopicData> m_subscriptions;
    std::vector<ZORVAN::InstanceHandle_t> m_danglingPublications;
};
