#include "FakeParticipant.h"

#include "HandleText.h"

#include <algorithm>
#include <cstring>

using namespace ZORVAN;

namespace {

template <class Record>
const Record* findRecord(const std::vector<Record>& records, const InstanceHandle_t& handle)
{
    for (const Record& r : records) {
        if (HandleText::handleFromKey(r.key) == handle) {
            return &r;
        }
    }
    return nullptr;
}

template <class Record>
void listHandles(const std::vector<Record>& records, InstanceHandleSeq& handles)
{
    for (const Record& r : records) {
        handles.push_back(HandleText::handleFromKey(r.key));
    }
}

} // namespace

FakeParticipant::FakeParticipant(DomainId_t domainId, uint8_t ownKeyByte) : m_domainId(domainId)
{
    m_handle = HandleText::handleFromKey(key(ownKeyByte, uint8_t(domainId)));
}

BuiltinTopicKey_t FakeParticipant::key(uint8_t byte, uint8_t last)
{
    BuiltinTopicKey_t k;
    std::memset(k.value, byte, sizeof(k.value));
    k.value[15] = last;
    return k;
}

template <class Record>
void FakeParticipant::put(std::vector<Record>& records, const Record& data, RecordKind kind)
{
    for (Record& r : records) {
        if (std::memcmp(r.key.value, data.key.value, 16) == 0) {
            r = data;
            // As a middleware notices a record announced anew; which policies changed is left
            // to the tests that set pendingChanges themselves.
            RecordChange change;
            change.kind = kind;
            change.handle = HandleText::handleFromKey(data.key);
            pendingChanges.push_back(change);
            return;
        }
    }
    records.push_back(data);
}

void FakeParticipant::addParticipant(const ParticipantBuiltinTopicData& data)
{
    put(m_participants, data, RecordKind::Participant);
}

void FakeParticipant::addPublication(const PublicationBuiltinTopicData& data)
{
    put(m_publications, data, RecordKind::Publication);
}

void FakeParticipant::addSubscription(const SubscriptionBuiltinTopicData& data)
{
    put(m_subscriptions, data, RecordKind::Subscription);
}

template <class Record>
void FakeParticipant::drop(std::vector<Record>& records, const BuiltinTopicKey_t& k)
{
    records.erase(
        std::remove_if(records.begin(), records.end(),
                       [&](const Record& r) { return std::memcmp(r.key.value, k.value, 16) == 0; }),
        records.end());
}

void FakeParticipant::removeParticipant(const BuiltinTopicKey_t& k)
{
    drop(m_participants, k);
}

void FakeParticipant::removePublication(const BuiltinTopicKey_t& k)
{
    drop(m_publications, k);
}

void FakeParticipant::removeSubscription(const BuiltinTopicKey_t& k)
{
    drop(m_subscriptions, k);
}

void FakeParticipant::addDanglingPublicationHandle(const InstanceHandle_t& handle)
{
    m_danglingPublications.push_back(handle);
}

ReturnCode_t FakeParticipant::delete_contained_entities()
{
    ++deleteContainedCalls;
    return RETCODE_OK;
}

ReturnCode_t FakeParticipant::get_discovered_participants(InstanceHandleSeq& handles)
{
    ++listCalls;
    if (failures.participants) {
        return RETCODE_ERROR;
    }
    listHandles(m_participants, handles);
    return RETCODE_OK;
}

ReturnCode_t FakeParticipant::get_discovered_participant_data(ParticipantBuiltinTopicData& data,
                                                              const InstanceHandle_t& handle)
{
    const ParticipantBuiltinTopicData* r = findRecord(m_participants, handle);
    if (failures.participantData || !r) {
        return RETCODE_BAD_PARAMETER;
    }
    data = *r;
    return RETCODE_OK;
}

ReturnCode_t FakeParticipant::get_publications(InstanceHandleSeq& handles, bool)
{
    ++listCalls;
    if (failures.publications) {
        return RETCODE_ERROR;
    }
    listHandles(m_publications, handles);
    handles.insert(handles.end(), m_danglingPublications.begin(), m_danglingPublications.end());
    return RETCODE_OK;
}

ReturnCode_t FakeParticipant::get_publication_data(PublicationBuiltinTopicData& data,
                                                   const InstanceHandle_t& handle)
{
    const PublicationBuiltinTopicData* r = findRecord(m_publications, handle);
    if (failures.publicationData || !r) {
        return RETCODE_BAD_PARAMETER;
    }
    data = *r;
    return RETCODE_OK;
}

ReturnCode_t FakeParticipant::get_subscriptions(InstanceHandleSeq& handles, bool)
{
    ++listCalls;
    if (failures.subscriptions) {
        return RETCODE_ERROR;
    }
    listHandles(m_subscriptions, handles);
    return RETCODE_OK;
}

ReturnCode_t FakeParticipant::get_subscription_data(SubscriptionBuiltinTopicData& data,
                                                    const InstanceHandle_t& handle)
{
    const SubscriptionBuiltinTopicData* r = findRecord(m_subscriptions, handle);
    if (failures.subscriptionData || !r) {
        return RETCODE_BAD_PARAMETER;
    }
    data = *r;
    return RETCODE_OK;
}
