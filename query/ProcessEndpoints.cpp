#include "ProcessEndpoints.h"

#include "MonitorLib.h"
#include "ProcessIndex.h"

#include <mutex>

ProcessEndpoints collectProcessEndpoints(MonitorLib& monitor, const ProcessIdentity& process)
{
    std::lock_guard<std::mutex> lock(monitor.mutex);
    return processIndex().lookUp(monitor, process);
}

ProcessIndex& processIndex()
{
    // There is one monitor, so one index; guarded by MonitorLib::mutex.
    static ProcessIndex index;
    return index;
}
