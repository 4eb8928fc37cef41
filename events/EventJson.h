// The JSON form of a discovery event, one object per line (JSON Lines), as the event page
// exports it and the command-line watcher prints it. Field names are stable; the README lists
// them.
#pragma once

#include "DiscoveryEvent.h"

#include <QByteArray>

namespace EventJson {

// The event as one compact JSON object in UTF-8, fields in a fixed order, without a newline:
// {"time":"2024-05-06T08:00:05.123+08:00","epoch_ms":1714953605123,"domain":0,
//  "event":"joined","kind":"writer","handle":"0x…","topic":"RadarTrack",
//  "type":"demo::RadarTrack","host":"radar-01","ips":"10.10.0.11",
//  "process":"radar_server","pid":1201,"policies":[]}
QByteArray line(const DiscoveryEvent& event);

// The values of "event" and "kind".
const char* eventName(DiscoveryEventKind event);
const char* kindName(DiscoveredKind kind);

} // namespace EventJson
