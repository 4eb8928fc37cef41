#include "IndexedSystem.h"

#include "HandleText.h"

using namespace ZORVAN;

IndexedSystem::IndexedSystem(DomainId_t domainId) : m_domainId(domainId)
{
    m_handle.value[0] = 0xee;
    m_handle.isValid = 1;
}

template <class Record> void IndexedSystem::put(Table<Record>& table, const Record& record)
{
    const InstanceHandle_t handle = HandleText::handleFromKey(record.key);
    if (table.records.emplace(handle, record).second) {
        table.order.push_back(handle);
    }
}

template <class Record>
ReturnCode_t IndexedSystem::get(const Table<Record>& table, Record& data,
                                const InstanceHandle_t& handle)
{
    const auto found = table.records.find(handle);
    if (found == table.records.end()) {
        return RETCODE_BAD_PARAMETER;
    }
    data = found->second;
    return RETCODE_OK;
}

void IndexedSystem::add(const ParticipantBuiltinTopicData& record)
{
    put(m_participants, record);
}

void IndexedSystem::add(const PublicationBuiltinTopicData& record)
{
    put(m_writers, record);
}

void IndexedSystem::add(const SubscriptionBuiltinTopicData& record)
{
    put(m_readers, record);
}

ReturnCode_t IndexedSystem::get_discovered_participants(InstanceHandleSeq& handles)
{
    handles.insert(handles.end(), m_participants.order.begin(), m_participants.order.end());
    return RETCODE_OK;
}

ReturnCode_t IndexedSystem::get_discovered_participant_data(ParticipantBuiltinTopicData& data,
                                                            const InstanceHandle_t& handle)
{
    return get(m_participants, data, handle);
}

ReturnCode_t IndexedSystem::get_publications(InstanceHandleSeq& handles, bool)
{
    handles.insert(handles.end(), m_writers.order.begin(), m_writers.order.end());
    return RETCODE_OK;
}

ReturnCode_t IndexedSystem::get_publication_data(PublicationBuiltinTopicData& data,
                                                 const InstanceHandle_t& handle)
{
    return get(m_writers, data, handle);
}

ReturnCode_t IndexedSystem::get_subscriptions(InstanceHandleSeq& handles, bool)
{
    handles.insert(handles.end(), m_readers.order.begin(), m_readers.order.end());
    return RETCODE_OK;
}

ReturnCode_t IndexedSystem::get_subscription_data(SubscriptionBuiltinTopicData& data,
                                                  const InstanceHandle_t& handle)
{
    return get(m_readers, data, handle);
}
