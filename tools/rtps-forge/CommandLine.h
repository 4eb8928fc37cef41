// The forge's command line: options into ForgeOptions, and the usage text.
#pragma once

#include "ForgeOptions.h"

#include <string>

namespace CommandLine {

enum class Outcome
{
    Run,
    Help,
    List,
    Error
};

// On Error, `error` says what is wrong.
Outcome parse(int argc, char** argv, ForgeOptions& options, std::string& error);
std::string usage();

} // namespace CommandLine
