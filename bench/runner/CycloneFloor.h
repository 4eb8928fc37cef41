// The floor every figure is compared with: what it costs to read every builtin-topic sample
// (participants, publications, subscriptions) straight from Cyclone DDS, through fresh readers
// on a participant that has already discovered the system.
#pragma once

#include <cstdint>

class CycloneFloor
{
public:
    struct Sample
    {
        double totalMs = 0;  // create the three readers, take everything, delete them
        double createMs = 0; // reader creation, which is when Cyclone fills them
        double takeMs = 0;   // taking every sample, on loan, in batches
        int participants = 0;
        int publications = 0;
        int subscriptions = 0;
        bool ok = false;
    };

    // Reads through the first participant of this process in `domain` (the monitor's own).
    static Sample measure(uint32_t domain);
};
