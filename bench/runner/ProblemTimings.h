// The problems analysis timed in its three steps: collecting every endpoint under the
// monitor's mutex, the analysis itself (on the worker thread in the application), and showing
// a report on the statistics pages, in the logical view's marks and as the status line (the
// only step on the GUI thread), both as a refresh and built anew; then the worker's run after
// one topic changed (judging that topic alone) and showing its report over the one before.
#pragma once

#include "ProblemReport.h"
#include "WatchedEndpoints.h"

#include <QString>

class BenchResults;
class MonitorLib;
class StatisticalTab;
class SysLogic;

class ProblemTimings
{
public:
    ProblemTimings(MonitorLib& monitor, SysLogic& logic, StatisticalTab& stats, int repeat);

    // Times each step `repeat` times on the current state; figures are named
    // "problems_<step><suffix>_ms". Returns the last report.
    ProblemReportPtr measure(BenchResults& results, const QString& suffix);
    // The same after the collection, on `seen`.
    ProblemReportPtr measure(const WatchedEndpoints& seen, BenchResults& results,
                             const QString& suffix);

    // `seen` with one topic of the first domain that has both sides changed: its last reader
    // gone. The other topics are the same objects.
    static WatchedEndpoints oneTopicChanged(const WatchedEndpoints& seen);

private:
    void show(const ProblemReportPtr& report);

    MonitorLib& m_monitor;
    SysLogic& m_logic;
    StatisticalTab& m_stats;
    int m_repeat;
};
