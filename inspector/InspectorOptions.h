// What one run of the command-line inspector is to do, as read from its command line.
#pragma once

#include <cstdint>
#include <set>

struct InspectorOptions
{
    enum class Command
    {
        None,
        Snapshot,
        Check,
        Watch
    };
    enum class Format
    {
        Json,
        Text
    };

    Command command = Command::None;
    std::set<uint32_t> domains;
    // snapshot and check: the longest wait for discovery to settle
    double settleSeconds = 10;
    // snapshot and check: how long nothing may change before discovery counts as settled
    double quietSeconds = 2;
    Format format = Format::Json;
    // watch: how long it runs; negative until interrupted
    double durationSeconds = -1;
    // progress and timings on standard error
    bool verbose = false;
};
