// problems-bench: the problems analysis and its display at the benchmark's sizes, on a system
// of the load generator's shape held behind the middleware interface (IndexedSystem), without
// DDS traffic: a full analysis, the worker's run after one topic changed, and the GUI thread's
// work for its report. Prints the figures as JSON.
#include "BenchResults.h"
#include "IndexedSystem.h"
#include "LoadPlan.h"
#include "LogicalTree.h"
#include "MonitorLib.h"
#include "PlannedSystem.h"
#include "ProblemTimings.h"
#include "StatisticalTab.h"
#include "SysLogic.h"

#include <QApplication>
#include <QJsonDocument>
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    LoadPlan plan;
    int repeat = 9;
    std::string error;
    if (!PlannedSystem::parse(argc, argv, plan, repeat, error)) {
        std::fprintf(stderr, "problems-bench: %s\n%s  --repeat N  runs per figure (9)\n",
                     error.c_str(), LoadPlan::usage());
        return 2;
    }

    IndexedSystem system(plan.domain);
    PlannedSystem::fill(system, plan);
    MonitorLib& monitor = MonitorLib::getInstance();
    // Nothing changes behind the benchmark's back: the figures are the analysis's alone.
    monitor.stopPolling();
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        monitor.domains[plan.domain].m_metaParticipant = &system;
        monitor.ownParticipants.insert(system.get_instance_handle());
    }
    int status = 0;
    {
        SysLogic logic;
        StatisticalTab stats;
        logic.showTree(collectLogicalTree(monitor));
        BenchResults results;
        ProblemTimings timings(monitor, logic, stats, repeat);
        const ProblemReportPtr report = timings.measure(results, QString());
        results.setCount(QStringLiteral("endpoints"), double(plan.writers + plan.readers));
        results.setCount(QStringLiteral("problem_entries"), double(report->problems.size()));
        results.setCount(QStringLiteral("problem_runs"), double(report->problems.runs().size()));
        if (report->domains.empty() ||
            report->domains.front().writers + report->domains.front().readers !=
                uint64_t(plan.writers + plan.readers)) {
            std::fprintf(stderr, "problems-bench: incomplete collection\n");
            status = 1;
        }
        std::fputs(QJsonDocument(results.toJson(QString())).toJson().constData(), stdout);
    }
    // The system is not the monitor's to delete.
    std::lock_guard<std::mutex> lock(monitor.mutex);
    monitor.domains.clear();
    monitor.ownParticipants.clear();
    return status;
}
