// Turns what the polling thread discovers into the events of the log: who joined and who left,
// with what each entity was when it joined (read once, then remembered until it leaves). The
// monitor's own participants are not recorded, as the physical view does not show them.
#pragma once

#include "DiscoveryObserver.h"
#include "EventLog.h"
#include "ProcessIdentity.h"

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class DomainWalk;

class DiscoveryRecorder : public DiscoveryObserver
{
public:
    explicit DiscoveryRecorder(size_t capacity = EventLog::DefaultCapacity);

    // The log the recorder appends to; readers may use it from any thread.
    EventLog& log() { return m_log; }

    // All on the polling thread. Under MonitorLib::mutex only the records of entities that
    // joined are read (one query for each, one more for a participant not yet known); the
    // events are built and appended after the mutex is released.
    void listChanged(MonitorLib& monitor, ZORVAN::DomainParticipant& participant,
                     DiscoveredKind kind, const HandleDelta& delta) override;
    void qosChanged(MonitorLib& monitor, ZORVAN::DomainParticipant& participant,
                    DiscoveredKind kind, const ZORVAN::InstanceHandle_t& handle,
                    const std::vector<std::string>& policies) override;
    void passPolled(MonitorLib& monitor) override;
    void passReleased() override;

private:
    // Where a participant, and every endpoint of it, runs; converted for display once.
    struct Owner
    {
        ProcessIdentity where;
        bool converted = false;
        QString host;
        QString ips;
        QString process;
    };
    // A change seen under the mutex, waiting to become an event.
    struct Pending
    {
        uint32_t domainId = 0;
        DiscoveryEventKind event = DiscoveryEventKind::Joined;
        DiscoveredKind kind = DiscoveredKind::Participant;
        ZORVAN::InstanceHandle_t handle;
        bool recordRead = false;
        std::string topic;
        std::string type;
        std::shared_ptr<Owner> owner; // null when unknown
        std::vector<std::string> policies;
    };
    // What is known of one watched domain, for as long as the monitor's participant that
    // watches it lives.
    struct DomainState
    {
        ZORVAN::InstanceHandle_t watcher; // the monitor's own participant
        // every entity recorded as joined and not yet as left
        std::map<ZORVAN::InstanceHandle_t, std::shared_ptr<const EntityDescription>> live;
        // participant key (16 bytes) to where it runs
        std::unordered_map<std::string, std::shared_ptr<Owner>> owners;
    };

    DomainState& stateOf(ZORVAN::DomainParticipant& participant);
    void readJoined(DomainWalk& walk, DomainState& state, Pending& pending);
    template <class Record>
    void readEndpoint(DomainWalk& walk, DomainState& state, Pending& pending);
    std::shared_ptr<Owner> ownerOf(DomainWalk& walk, DomainState& state,
                                   const ZORVAN::BuiltinTopicKey_t& participantKey);
    std::shared_ptr<const EntityDescription> describe(Pending& pending) const;

    EventLog m_log;
    // Polling thread only.
    std::map<uint32_t, DomainState> m_domains;
    std::vector<Pending> m_pending;
};
