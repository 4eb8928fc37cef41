#include "MonitorEvents.h"

#include "DiscoveryRecorder.h"
#include "MonitorLib.h"

#include <atomic>

namespace MonitorEvents {

namespace {

std::atomic<const EventLog*> started{nullptr};

} // namespace

EventLog& log()
{
    // Thread-safe once: the recorder is handed over to the monitor, which destroys it after
    // its polling thread has stopped.
    static EventLog& theLog = []() -> EventLog& {
        auto recorder = std::make_unique<DiscoveryRecorder>();
        EventLog& log = recorder->log();
        MonitorLib::getInstance().setDiscoveryObserver(std::move(recorder));
        started = &log;
        return log;
    }();
    return theLog;
}

const EventLog* recording()
{
    return started;
}

} // namespace MonitorEvents
