// Which kind of entity a QoS request names; passed as a plain 32-bit int.
#pragma once

enum QoSType
{
    WriterQoS = 1,
    ReaderQoS = 2,
    ParticipantQoS = 3
};
