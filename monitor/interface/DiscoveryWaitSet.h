// Lets one thread sleep until a participant it watches has new discovery data, without any
// code of the caller running on the middleware's threads. Any thread may wake the sleeper.
#pragma once

#include "DomainParticipant.h"

#include <memory>

namespace ZORVAN {

class DiscoveryWaitSet
{
public:
    enum WaitResult
    {
        WAIT_TIMEOUT,   // the timeout passed with nothing new
        WAIT_DISCOVERY, // a watched participant has discovery data it has not taken yet
        WAIT_WOKEN,     // wake() was called since the previous wait
    };

    // nullptr when the middleware cannot make one.
    static std::unique_ptr<DiscoveryWaitSet> create();

    virtual ~DiscoveryWaitSet() = default;

    // Watches the participant until it is deleted or detached. RETCODE_BAD_PARAMETER for a
    // participant of another implementation, RETCODE_PRECONDITION_NOT_MET when it is already
    // watched or its contained entities were deleted.
    virtual ReturnCode_t attach(DomainParticipant& participant) = 0;
    // Stops watching the participant with this instance handle. It need not exist any more:
    // a deleted participant leaves by itself, and detaching it again does no harm.
    virtual ReturnCode_t detach(const InstanceHandle_t& participant) = 0;

    // Blocks the calling thread until a watched participant has new discovery data, wake() is
    // called or `timeout` passes. Data stays "new" until a query of its participant takes it,
    // so a caller that does not query returns at once from the next wait. A wake() is kept
    // until a wait reports it; it wins over discovery data.
    virtual WaitResult wait(const Duration_t& timeout) = 0;
    virtual void wake() = 0;
};

} // namespace ZORVAN
