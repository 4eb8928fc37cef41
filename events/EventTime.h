// Reading the wall clock for the event log, and the texts of an event's time: one formatting
// for the table, the tooltips and the export, cheap enough for a hundred thousand rows.
#pragma once

#include "EventStamp.h"

#include <QString>

namespace EventTime {

// Now, with the local offset from UTC in force.
EventStamp now();

// ISO 8601 with milliseconds and the offset: "2024-05-06T08:00:05.123+08:00".
QString iso(const EventStamp& stamp);
// The local date and time as the event table shows it: "2024-05-06 08:00:05.123".
QString shown(const EventStamp& stamp);
// The local time of day to the second: "08:00:05".
QString clock(const EventStamp& stamp);

} // namespace EventTime
