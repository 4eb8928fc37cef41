#include "MonitorEvents.h"

#include "DiscoveryRecorder.h"
#include "MonitorLib.h"

namespace MonitorEvents {

EventLog& log()
{
    // Thread-safe once: the recorder is handed over to the monitor, which destroys it after
    // its polling thread has stopped.
    static EventLog& theLog = []() -> EventLog& {
        auto recorder = std::make_unique<DiscoveryRecorder>();
        EventLog& log = recorder->log();
        MonitorLib::getInstance().setDiscoveryObserver(std::move(recorder));
        return log;
    }();
    return theLog;
}

} // namespace MonitorEvents
