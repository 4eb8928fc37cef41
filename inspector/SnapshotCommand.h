// The snapshot command's own work once discovery has settled: collect what the watched domains
// have discovered and the problems the analysis finds in it, build the document in the chosen
// format. One function for the program and the benchmark, so that what is measured is what
// runs.
#pragma once

#include "DocumentHeader.h"
#include "InspectorOptions.h"

#include <string>

class MonitorLib;

namespace SnapshotCommand {

struct Result
{
    std::string text;
    size_t participants = 0;
    size_t endpoints = 0;
    size_t problems = 0;
    double collectMs = 0;  // under the monitor's mutex
    double problemsMs = 0; // the analysis: its own collection under the mutex, then the rest
    double buildMs = 0;    // after the unlock
};

Result run(MonitorLib& monitor, const DocumentHeader& header, InspectorOptions::Format format);

} // namespace SnapshotCommand
