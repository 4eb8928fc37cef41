// The inspector's command line, read completely before any DDS entity exists, so that a
// mistyped option or domain id fails without joining anything. Domain ids follow the domain
// dialog's rules (0 to 200, empty pieces ignored, duplicates once); the command line separates
// them by "," because an unquoted ";" would end the shell command, and takes the dialog's ";"
// as well when it is quoted.
#pragma once

#include "InspectorOptions.h"

#include <QString>
#include <QStringList>

namespace CommandLine {

enum class Outcome
{
    Run,
    Help,       // usage(options.command) is the result
    Version,    // the version line is the result
    UsageError, // `error` says what is wrong
};

// Reads the arguments after the program name into `options`.
Outcome parse(const QStringList& arguments, InspectorOptions& options, QString& error);

// The help of one command, or of the program for Command::None.
QString usage(InspectorOptions::Command command);

// "snapshot", "check", "watch"; empty for Command::None.
QString commandName(InspectorOptions::Command command);

} // namespace CommandLine
