// The listener the polling thread tells what each pass found: the handles that appeared in or
// left a domain's discovered lists. The event log's recorder is one; the monitor owns the one
// it is given.
#pragma once

#include "DomainParticipant.h"
#include "HandleDelta.h"

#include <string>
#include <vector>

class MonitorLib;

// What a discovered list holds.
enum class DiscoveredKind
{
    Participant,
    Writer,
    Reader
};

class DiscoveryObserver
{
public:
    virtual ~DiscoveryObserver() = default;

    // Polling thread, MonitorLib::mutex held: one list of the domain of `participant` (the
    // monitor's own there) gained or lost handles in this pass. Per domain, called for the
    // participants, then the writers, then the readers; domains in ascending id. The observer
    // may query the middleware through `participant` and read the monitor's tables.
    virtual void listChanged(MonitorLib& monitor, ZORVAN::DomainParticipant& participant,
                             DiscoveredKind kind, const HandleDelta& delta) = 0;

    // Polling thread, MonitorLib::mutex held: an entity still listed was announced again with
    // a different QoS; `policies` are the DDS names of the policies that changed
    // ("user_data", "partition", ...).
    virtual void qosChanged(MonitorLib& monitor, ZORVAN::DomainParticipant& participant,
                            DiscoveredKind kind, const ZORVAN::InstanceHandle_t& handle,
                            const std::vector<std::string>& policies) = 0;

    // Polling thread, MonitorLib::mutex held: every watched domain has been polled.
    virtual void passPolled(MonitorLib& monitor) = 0;

    // Polling thread, MonitorLib::mutex released: the pass is over. The place for work that
    // needs no middleware query, so that it keeps the mutex free.
    virtual void passReleased() = 0;
};
