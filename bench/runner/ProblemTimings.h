// The problems analysis timed in its three steps: collecting every endpoint under the
// monitor's mutex, the analysis itself (on the worker thread in the application), and showing
// a report on the statistics pages, in the logical view's marks and as the status line (the
// only step on the GUI thread), both as a refresh and built anew.
#pragma once

#include "ProblemReport.h"

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

private:
    void show(const ProblemReportPtr& report);

    MonitorLib& m_monitor;
    SysLogic& m_logic;
    StatisticalTab& m_stats;
    int m_repeat;
};
