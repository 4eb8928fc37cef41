#include "SnapshotCollector.h"

#include "DomainWalk.h"

#include <mutex>
#include <type_traits>

using namespace ZORVAN;

namespace SnapshotCollector {

namespace {

void collectParticipants(MonitorLib& monitor, DomainWalk& walk, SnapshotDomain& domain)
{
    InstanceHandleSeq handles;
    if (!walk.listParticipants(handles)) {
        domain.complete = false;
        return;
    }
    domain.participants.reserve(handles.size());
    for (const InstanceHandle_t& handle : handles) {
        if (monitor.ownParticipants.count(handle)) {
            continue;
        }
        SnapshotParticipant participant;
        participant.handle = handle;
        if (!walk.fetch(handle, participant.record)) {
            domain.complete = false;
            continue;
        }
        readSysInfo(participant.record, participant.info);
        domain.participants.push_back(std::move(participant));
    }
}

// Like DomainWalk::eachEndpoint, but notes every failed fetch.
template <class Record>
bool collectEndpoints(DomainWalk& walk, std::vector<DiscoveredEndpoint<Record>>& endpoints,
                      bool& complete)
{
    InstanceHandleSeq handles;
    const bool listed = std::is_same_v<Record, PublicationBuiltinTopicData>
                            ? walk.listWriters(handles)
                            : walk.listReaders(handles);
    if (!listed) {
        complete = false;
        return false;
    }
    endpoints.reserve(handles.size());
    for (const InstanceHandle_t& handle : handles) {
        DiscoveredEndpoint<Record> endpoint;
        endpoint.handle = handle;
        if (walk.fetch(handle, endpoint.record)) {
            endpoints.push_back(std::move(endpoint));
        } else {
            complete = false;
        }
    }
    return true;
}

} // namespace

Snapshot collect(MonitorLib& monitor)
{
    Snapshot snapshot;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    snapshot.domains.reserve(monitor.domains.size());
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        SnapshotDomain domain;
        domain.id = walk.domainId();
        collectParticipants(monitor, walk, domain);
        if (collectEndpoints(walk, domain.writers, domain.complete)) {
            collectEndpoints(walk, domain.readers, domain.complete);
        }
        snapshot.domains.push_back(std::move(domain));
    });
    return snapshot;
}

} // namespace SnapshotCollector
