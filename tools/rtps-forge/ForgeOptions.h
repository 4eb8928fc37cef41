// Settings of one run of the forge, from the command line.
#pragma once

#include "DatagramBatch.h"
#include "LoadPlan.h"
#include "ParameterList.h"

#include <cstdint>
#include <string>

struct ForgeOptions
{
    std::string scenario = "basic";
    uint32_t domain = 0;
    int firstIndex = 0; // participant indices whose discovery ports get the announcements
    int lastIndex = 100;
    int leaseSeconds = 10;
    int announcePeriodMs = 1000;
    // HEARTBEATs go every 500 ms to peers that lack part of a history, and this often to those
    // that acknowledged all of it.
    double idleHeartbeatSeconds = 0.5;
    double durationSeconds = 0; // 0: until interrupted
    bool dispose = true;        // say goodbye at the end instead of letting the lease expire
    int verbose = 0;
    // Endpoints a scenario can change are announced changed after `changeAfterSeconds`, then
    // alternately restored and changed every `changeEverySeconds` (0: not on a schedule), and
    // on the commands "change" and "restore" on standard input when `commands` is set.
    double changeAfterSeconds = 0;
    double changeEverySeconds = 0;
    bool commands = false;
    // How a change goes out: the endpoint's disposal followed by its new announcement in one
    // datagram (recreate), or the new announcement alone (update), which is what a DDS
    // implementation sends when an endpoint's QoS change; Cyclone DDS 0.10 then keeps the
    // partition and the request/offer policies it had.
    bool recreate = true;
    // Scenario parameters.
    size_t count = 0; // endpoints of many-endpoints; 0 picks the scenario's default
    size_t size = 1 << 20;
    // The benchmark's system (scenario system): its size, and which share of it this process
    // plays. The domain is `domain`.
    LoadPlan system;
    // Values longer than a parameter can describe: cut to the largest that fits ("clamp"), or
    // written in the extended parameter form or with a wrapped 16-bit length.
    bool clampLongValues = true;
    ParameterList::LongValue longValue = ParameterList::LongValue::Refuse;
    BatchLimits limits;

    // The unicast discovery port of participant index `index` in the domain.
    uint32_t discoveryPort(int index) const { return 7400 + 250 * domain + 10 + 2 * index; }
};
