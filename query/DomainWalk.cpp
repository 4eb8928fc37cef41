#include "DomainWalk.h"

#include "FailureLine.h"
#include "HandleText.h"

using namespace ZORVAN;

namespace {

bool checked(ReturnCode_t code, DiscoveryQuery query, bool report = true)
{
    if (code == RETCODE_OK) {
        return true;
    }
    if (report) {
        FailureLine::print(query);
    }
    return false;
}

} // namespace

bool DomainWalk::listParticipants(InstanceHandleSeq& handles, Listing listing)
{
    handles.clear();
    return checked(m_participant.get_discovered_participants(handles), DiscoveryQuery::Participants,
                   listing == Listing::Reported);
}

bool DomainWalk::listWriters(InstanceHandleSeq& handles, Listing listing)
{
    handles.clear();
    return checked(m_participant.get_publications(handles, true), DiscoveryQuery::Publications,
                   listing == Listing::Reported);
}

bool DomainWalk::listReaders(InstanceHandleSeq& handles, Listing listing)
{
    handles.clear();
    return checked(m_participant.get_subscriptions(handles, true), DiscoveryQuery::Subscriptions,
                   listing == Listing::Reported);
}

bool DomainWalk::fetch(const InstanceHandle_t& handle, ParticipantBuiltinTopicData& record)
{
    return checked(m_participant.get_discovered_participant_data(record, handle),
                   DiscoveryQuery::ParticipantData);
}

bool DomainWalk::fetch(const InstanceHandle_t& handle, PublicationBuiltinTopicData& record)
{
    return checked(m_participant.get_publication_data(record, handle),
                   DiscoveryQuery::PublicationData);
}

bool DomainWalk::fetch(const InstanceHandle_t& handle, SubscriptionBuiltinTopicData& record)
{
    return checked(m_participant.get_subscription_data(record, handle),
                   DiscoveryQuery::SubscriptionData);
}

bool DomainWalk::fetch(const InstanceHandle_t& handle,
                       std::shared_ptr<const ParticipantBuiltinTopicData>& record)
{
    return checked(m_participant.get_discovered_participant_record(record, handle),
                   DiscoveryQuery::ParticipantData);
}

bool DomainWalk::fetch(const InstanceHandle_t& handle,
                       std::shared_ptr<const PublicationBuiltinTopicData>& record)
{
    return checked(m_participant.get_publication_record(record, handle),
                   DiscoveryQuery::PublicationData);
}

bool DomainWalk::fetch(const InstanceHandle_t& handle,
                       std::shared_ptr<const SubscriptionBuiltinTopicData>& record)
{
    return checked(m_participant.get_subscription_record(record, handle),
                   DiscoveryQuery::SubscriptionData);
}

bool DomainWalk::sysInfo(const InstanceHandle_t& participant, ParticipantSysInfo& info)
{
    ParticipantBuiltinTopicData record;
    if (!fetch(participant, record)) {
        return false;
    }
    readSysInfo(record, info);
    return true;
}

bool DomainWalk::ownerSysInfo(const BuiltinTopicKey_t& participantKey, ParticipantSysInfo& info)
{
    return sysInfo(HandleText::handleFromKey(participantKey), info);
}
