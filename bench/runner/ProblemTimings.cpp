#include "ProblemTimings.h"

#include "BenchResults.h"
#include "ProblemAnalysis.h"
#include "StatisticalTab.h"
#include "SysLogic.h"
#include "ViewTimings.h"

#include <memory>

ProblemTimings::ProblemTimings(MonitorLib& monitor, SysLogic& logic, StatisticalTab& stats,
                               int repeat)
    : m_monitor(monitor), m_logic(logic), m_stats(stats), m_repeat(repeat)
{
}

void ProblemTimings::show(const ProblemReportPtr& report)
{
    // What the application does with each report, all on the GUI thread.
    m_stats.showReport(report);
    m_logic.applyMarks(report->incompatiblePairs);
    const QString line = report->statusLine();
    Q_UNUSED(line);
}

ProblemReportPtr ProblemTimings::measure(BenchResults& results, const QString& suffix)
{
    const auto ms = QStringLiteral("ms");
    const auto name = [&suffix](const char* step) {
        return QStringLiteral("problems_%1%2_ms").arg(QLatin1String(step), suffix);
    };
    WatchedEndpoints seen;
    results.add(name("collect"),
                ViewTimings::timed(m_repeat, [&] { seen = collectWatchedEndpoints(m_monitor); }),
                ms);
    ProblemReportPtr report;
    results.add(name("analyse"),
                ViewTimings::timed(m_repeat,
                                   [&] {
                                       report = std::make_shared<const ProblemReport>(
                                           ProblemAnalysis::analyse(seen));
                                   }),
                ms);

    // A refresh: a new report of the same content over the one shown. The watch hands over
    // only reports that differ, so this is the cost of a report that changed a little: every
    // entry compared with the one shown, the marks applied again.
    show(report);
    std::vector<double> refresh;
    for (int i = 0; i < m_repeat; ++i) {
        const auto copy = std::make_shared<const ProblemReport>(*report);
        refresh.push_back(ViewTimings::timed(1, [&] { show(copy); }).front());
    }
    results.add(name("show"), refresh, ms);

    // Built anew: over empty pages and no marks.
    const auto empty = std::make_shared<const ProblemReport>();
    std::vector<double> full;
    for (int i = 0; i < m_repeat; ++i) {
        show(empty);
        const auto fresh = std::make_shared<const ProblemReport>(*report);
        full.push_back(ViewTimings::timed(1, [&] { show(fresh); }).front());
    }
    results.add(name("show_full"), full, ms);
    return report;
}
