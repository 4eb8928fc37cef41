// When an entity left the network, as the tabs and panels that keep showing it say: the time
// the event log recorded when the monitor records events and saw it go, otherwise now (the
// moment the caller noticed).
#pragma once

#include "EventStamp.h"

#include <cstdint>
#include <string>

class MonitorLib;

namespace DepartureTime {

// The entity with this key (16 bytes) in this domain. Takes only the log's lock.
EventStamp of(uint32_t domainId, const std::string& key);

// The same for a caller that knows the key but not the domain: the first watched domain whose
// log entry says the entity left. Takes MonitorLib::mutex briefly, then the log's lock: never
// call it while holding the mutex.
EventStamp inAnyDomain(MonitorLib& monitor, const std::string& key);

} // namespace DepartureTime
