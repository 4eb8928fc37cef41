// The check command's work once discovery has settled: the problems the analysis finds in the
// watched domains, as a document in the chosen format, and whether any of them is an error.
#pragma once

#include "DocumentHeader.h"
#include "InspectorOptions.h"

#include <cstdint>
#include <string>

class MonitorLib;

namespace CheckCommand {

struct Result
{
    std::string text;
    // error-level problems of every domain, as counted
    uint64_t errors = 0;
};

Result run(MonitorLib& monitor, const DocumentHeader& header, InspectorOptions::Format format);

} // namespace CheckCommand
