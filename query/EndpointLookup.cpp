#include "EndpointLookup.h"

#include "DomainWalk.h"
#include "HandleText.h"

#include <QString>
#include <mutex>

using namespace ZORVAN;

namespace {

// Fills `info` from a matching record once its participant's system information is there.
template <class Record>
void fillInfo(DomainWalk& walk, uint32_t domainId, const InstanceHandle_t& listed,
              const Record& record, MatchType type, EndpointInfo& info)
{
    ParticipantSysInfo owner;
    if (!walk.ownerSysInfo(record.participant_key, owner)) {
        return;
    }
    info.domainId = domainId;
    info.handleKey = HandleText::keyOf(listed);
    info.participantKey = HandleText::keyOf(record.participant_key);
    info.topicName = QString::fromStdString(record.topic_name);
    info.type = type;
    info.typeName = QString::fromStdString(record.type_name);
    info.processName = owner.processName;
}

// The first domain's record of the endpoint with `handle`: the handle is tested first, and
// only the matching record fetched.
template <class Record, class List>
std::unique_ptr<Record> findData(MonitorLib& monitor, const InstanceHandle_t& handle, List list)
{
    std::unique_ptr<Record> found;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        InstanceHandleSeq listed;
        // The list is used as the middleware filled it, also after a failure.
        (walk.*list)(listed, DomainWalk::Listing::Silent);
        for (const InstanceHandle_t& h : listed) {
            if (h == handle) {
                auto record = std::make_unique<Record>();
                if (walk.fetch(handle, *record)) {
                    found = std::move(record);
                }
                return false; // the first domain that lists it answers
            }
        }
        return true;
    });
    return found;
}

} // namespace

void findEndpointInfo(MonitorLib& monitor, uint32_t domainId, const InstanceHandle_t& handle,
                      const MatchType& type, EndpointInfo& info)
{
    std::lock_guard<std::mutex> lock(monitor.mutex);
    if (type != WriterMatch && type != ReaderMatch) {
        return;
    }
    // Every record is fetched before its handle is tested, and the search does not stop at a
    // match: a later domain's match overwrites an earlier one.
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        auto visit = [&](const InstanceHandle_t& listed, const auto& record) {
            if (listed == handle) {
                fillInfo(walk, domainId, listed, record, type, info);
            }
        };
        if (type == WriterMatch) {
            walk.eachWriter(visit);
        } else {
            walk.eachReader(visit);
        }
    });
}

std::unique_ptr<PublicationBuiltinTopicData> findPublicationData(MonitorLib& monitor,
                                                                 const InstanceHandle_t& handle)
{
    return findData<PublicationBuiltinTopicData>(monitor, handle, &DomainWalk::listWriters);
}

std::unique_ptr<SubscriptionBuiltinTopicData> findSubscriptionData(MonitorLib& monitor,
                                                                   const InstanceHandle_t& handle)
{
    return findData<SubscriptionBuiltinTopicData>(monitor, handle, &DomainWalk::listReaders);
}

std::unique_ptr<ParticipantBuiltinTopicData> findOwnParticipantData(MonitorLib& monitor,
                                                                    const InstanceHandle_t& handle)
{
    std::lock_guard<std::mutex> lock(monitor.mutex);
    if (monitor.domains.empty()) {
        return nullptr;
    }
    DomainParticipant* participant = monitor.domains.begin()->second.m_metaParticipant;
    if (!participant || !(participant->get_instance_handle() == handle)) {
        return nullptr;
    }
    auto record = std::make_unique<ParticipantBuiltinTopicData>();
    if (!DomainWalk(*participant).fetch(handle, *record)) {
        return nullptr;
    }
    return record;
}
