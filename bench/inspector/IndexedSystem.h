// A whole synthetic domain behind the middleware interface, its records indexed by handle as
// the middleware layer keeps them, so that a walk over it costs what a walk over the real
// middleware costs (the test double searches linearly, fine for a test, quadratic here).
#pragma once

#include "DomainParticipant.h"

#include <map>
#include <vector>

class IndexedSystem : public ZORVAN::DomainParticipant
{
public:
    explicit IndexedSystem(ZORVAN::DomainId_t domainId);

    void add(const ZORVAN::ParticipantBuiltinTopicData& record);
    void add(const ZORVAN::PublicationBuiltinTopicData& record);
    void add(const ZORVAN::SubscriptionBuiltinTopicData& record);

    ZORVAN::ReturnCode_t delete_contained_entities() override { return ZORVAN::RETCODE_OK; }
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

private:
    template <class Record> struct Table
    {
        ZORVAN::InstanceHandleSeq order;
        std::map<ZORVAN::InstanceHandle_t, Record> records;
    };
    template <class Record> static void put(Table<Record>& table, const Record& record);
    template <class Record>
    static ZORVAN::ReturnCode_t get(const Table<Record>& table, Record& data,
                                    const ZORVAN::InstanceHandle_t& handle);

    ZORVAN::DomainId_t m_domainId;
    ZORVAN::InstanceHandle_t m_handle;
    Table<ZORVAN::ParticipantBuiltinTopicData> m_participants;
    Table<ZORVAN::PublicationBuiltinTopicData> m_writers;
    Table<ZORVAN::SubscriptionBuiltinTopicData> m_readers;
};
