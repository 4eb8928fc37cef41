// Typed walks over what the monitor's participant in one domain has discovered: list the
// handles of one kind, fetch each record, report a failed query with its line and go on. Every
// caller holds MonitorLib::mutex for as long as it walks (the middleware is only ever asked
// under it).
#pragma once

#include "DomainParticipant.h"
#include "MonitorLib.h"
#include "ParticipantSysInfo.h"

#include <memory>
#include <type_traits>

class DomainWalk
{
public:
    // Whether a failed listing writes its line: the data lookups list without a word.
    enum class Listing
    {
        Reported,
        Silent
    };

    explicit DomainWalk(ZORVAN::DomainParticipant& participant) : m_participant(participant) {}

    // Calls visit(DomainWalk&) for each watched domain that has a participant, in ascending
    // domain id. A visit that returns bool ends the walk by returning false. The caller holds
    // monitor.mutex.
    template <class Visit> static void eachWatched(MonitorLib& monitor, Visit&& visit);

    ZORVAN::DomainParticipant& participant() const { return m_participant; }
    ZORVAN::DomainId_t domainId() const { return m_participant.get_domain_id(); }

    // List the handles of one kind into `handles` (emptied first). False when the listing
    // failed, after its line unless Silent; `handles` then holds whatever the middleware left.
    bool listParticipants(ZORVAN::InstanceHandleSeq& handles, Listing listing = Listing::Reported);
    bool listWriters(ZORVAN::InstanceHandleSeq& handles, Listing listing = Listing::Reported);
    bool listReaders(ZORVAN::InstanceHandleSeq& handles, Listing listing = Listing::Reported);

    // Fetch one record into `record`. False, after the failure line, when the fetch failed:
    // the record then holds nothing the caller may show.
    bool fetch(const ZORVAN::InstanceHandle_t& handle, ZORVAN::ParticipantBuiltinTopicData& record);
    bool fetch(const ZORVAN::InstanceHandle_t& handle, ZORVAN::PublicationBuiltinTopicData& record);
    bool fetch(const ZORVAN::InstanceHandle_t& handle,
               ZORVAN::SubscriptionBuiltinTopicData& record);

    // Fetch one record shared, as the middleware stores it (see get_publication_record): the
    // same failure line, and `record` is left alone, when the fetch failed.
    bool fetch(const ZORVAN::InstanceHandle_t& handle,
               std::shared_ptr<const ZORVAN::ParticipantBuiltinTopicData>& record);
    bool fetch(const ZORVAN::InstanceHandle_t& handle,
               std::shared_ptr<const ZORVAN::PublicationBuiltinTopicData>& record);
    bool fetch(const ZORVAN::InstanceHandle_t& handle,
               std::shared_ptr<const ZORVAN::SubscriptionBuiltinTopicData>& record);

    // List one kind and call visit(handle, record) for each record fetched, in listing order,
    // each fetched into a freshly default-constructed record; a failed fetch is reported and
    // skipped. False when the listing failed; nothing is visited then.
    template <class Visit> bool eachParticipant(Visit&& visit)
    {
        return each<ZORVAN::ParticipantBuiltinTopicData>(visit);
    }
    template <class Visit> bool eachWriter(Visit&& visit)
    {
        return each<ZORVAN::PublicationBuiltinTopicData>(visit);
    }
    template <class Visit> bool eachReader(Visit&& visit)
    {
        return each<ZORVAN::SubscriptionBuiltinTopicData>(visit);
    }

    // Walk the writers, then the readers: a failed writer listing leaves the readers out, as
    // every walk over a domain's endpoints does. False when a listing failed.
    template <class OnWriter, class OnReader>
    bool eachEndpoint(OnWriter&& onWriter, OnReader&& onReader)
    {
        return eachWriter(onWriter) && eachReader(onReader);
    }

    // The system information of a participant, or of the participant that owns an endpoint
    // (its participant_key). False, after the failure line, when the participant's record
    // cannot be fetched: `info` then stays as it was.
    bool sysInfo(const ZORVAN::InstanceHandle_t& participant, ParticipantSysInfo& info);
    bool ownerSysInfo(const ZORVAN::BuiltinTopicKey_t& participantKey, ParticipantSysInfo& info);

private:
    bool list(ZORVAN::InstanceHandleSeq& handles, const ZORVAN::ParticipantBuiltinTopicData*)
    {
        return listParticipants(handles);
    }
    bool list(ZORVAN::InstanceHandleSeq& handles, const ZORVAN::PublicationBuiltinTopicData*)
    {
        return listWriters(handles);
    }
    bool list(ZORVAN::InstanceHandleSeq& handles, const ZORVAN::SubscriptionBuiltinTopicData*)
    {
        return listReaders(handles);
    }

    template <class Record, class Visit> bool each(Visit& visit)
    {
        ZORVAN::InstanceHandleSeq handles;
        if (!list(handles, static_cast<const Record*>(nullptr))) {
            return false;
        }
        for (const ZORVAN::InstanceHandle_t& handle : handles) {
            Record record;
            if (fetch(handle, record)) {
                visit(handle, record);
            }
        }
        return true;
    }

    ZORVAN::DomainParticipant& m_participant;
};

template <class Visit> void DomainWalk::eachWatched(MonitorLib& monitor, Visit&& visit)
{
    for (auto& domain : monitor.domains) {
        ZORVAN::DomainParticipant* participant = domain.second.m_metaParticipant;
        if (!participant) {
            continue;
        }
        DomainWalk walk(*participant);
        if constexpr (std::is_same_v<decltype(visit(walk)), bool>) {
            if (!visit(walk)) {
                return;
            }
        } else {
            visit(walk);
        }
    }
}
