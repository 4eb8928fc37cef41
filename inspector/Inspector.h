// One run of the command-line inspector: reads the command line, joins the domains through the
// domain selection's rules, waits for discovery to settle and hands the result to the output.
// Runs on the main thread; the monitor's polling thread announces changes, which are only
// counted here (MonitorLib::signalCount), never delivered. watch reads the discovery event log,
// whose announcements of new events the polling thread emits and the main thread receives.
#pragma once

#include "InspectorOptions.h"

#include <QString>
#include <QStringList>

class EventLog;
class MonitorLib;
class ResultOutput;

class Inspector
{
public:
    explicit Inspector(ResultOutput& output);

    // The exit code of the run (ExitCode).
    int run(const QStringList& arguments);

private:
    int snapshot();
    int check();
    int watch();

    // Joins every domain of the options; false, after the message, when one cannot be joined.
    bool join();
    // Runs the event loop until discovery settles or the longest wait passes. False when a
    // SIGINT or SIGTERM ended it first.
    bool waitForDiscovery(bool& settled);
    bool publish(const std::string& result);
    void diagnose(const QString& message) const;
    void verbose(const QString& message) const;

    ResultOutput& m_output;
    InspectorOptions m_options;
    MonitorLib* m_monitor = nullptr;
    // watch: the log, recording from before the first domain is joined
    EventLog* m_events = nullptr;
};
