// The monitor's discovery event log, for the window, the command-line tool and the benchmark
// alike.
#pragma once

#include "EventLog.h"

namespace MonitorEvents {

// The log of every discovery event of the monitor's polling thread. The first call (on any
// thread) gives the monitor its recorder, so recording starts then: call it before the first
// domain is joined. The log lives as long as the monitor.
EventLog& log();

// The log once log() has been called, otherwise null. For readers that must not start the
// recording themselves: started late, it would miss everything already discovered, and the
// polling thread would begin querying records under their feet.
const EventLog* recording();

} // namespace MonitorEvents
