// Which kind of entity a QoS request names; passed as a plain 32-bit int, so any int value is a
// valid QoSType (the fixed underlying type) and the panel can refuse the unknown ones.
#pragma once

enum QoSType : int
{
    WriterQoS = 1,
    ReaderQoS = 2,
    ParticipantQoS = 3
};
