#include "ProblemTimings.h"

#include "BenchResults.h"
#include "ProblemAnalysis.h"
#include "ProblemCache.h"
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

WatchedEndpoints ProblemTimings::oneTopicChanged(const WatchedEndpoints& seen)
{
    // A topic in the middle of the first domain that has both sides loses its last reader, as
    // when one process of many leaves; every other topic stays the same object.
    WatchedEndpoints changed = seen;
    for (WatchedDomain& domain : changed.domains) {
        std::vector<std::map<std::string, WatchedTopicPtr>::iterator> candidates;
        for (auto it = domain.topics.begin(); it != domain.topics.end(); ++it) {
            if (!it->second->writers.empty() && it->second->readers.size() > 1) {
                candidates.push_back(it);
            }
        }
        if (candidates.empty()) {
            continue;
        }
        auto topic = std::make_shared<WatchedTopic>(*candidates[candidates.size() / 2]->second);
        topic->readers.pop_back();
        candidates[candidates.size() / 2]->second = std::move(topic);
        break;
    }
    return changed;
}

ProblemReportPtr ProblemTimings::measure(BenchResults& results, const QString& suffix)
{
    WatchedEndpoints seen;
    results.add(QStringLiteral("problems_collect%1_ms").arg(suffix),
                ViewTimings::timed(m_repeat, [&] { seen = collectWatchedEndpoints(m_monitor); }),
                QStringLiteral("ms"));
    return measure(seen, results, suffix);
}

ProblemReportPtr ProblemTimings::measure(const WatchedEndpoints& seen, BenchResults& results,
                                         const QString& suffix)
{
    const auto ms = QStringLiteral("ms");
    const auto name = [&suffix](const char* step) {
        return QStringLiteral("problems_%1%2_ms").arg(QLatin1String(step), suffix);
    };
    ProblemReportPtr report;
    results.add(name("analyse"),
                ViewTimings::timed(m_repeat,
                                   [&] {
                                       report = std::make_shared<const ProblemReport>(
                                           ProblemAnalysis::analyse(seen));
                                   }),
                ms);

    // A refresh: a copy of the report over the one shown. It shares every run with the one
    // shown, so this is the least a new report costs: the runs and the marks compared.
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

    // What the worker does after one topic changed, and what the GUI thread then does: the
    // worker's cache holds the other state, so each run judges the one topic, and each report
    // shares every other topic's entries with the one shown.
    const WatchedEndpoints changed = oneTopicChanged(seen);
    ProblemCache cache;
    auto shared = std::make_shared<const ProblemReport>(ProblemAnalysis::analyse(seen, cache));
    std::vector<double> incremental;
    std::vector<double> sameAs;
    std::vector<double> shownChange;
    show(shared);
    for (int i = 0; i < m_repeat; ++i) {
        const WatchedEndpoints& next = i % 2 == 0 ? changed : seen;
        ProblemReportPtr made;
        incremental.push_back(ViewTimings::timed(1, [&] {
                                  made = std::make_shared<const ProblemReport>(
                                      ProblemAnalysis::analyse(next, cache));
                              }).front());
        bool same = false;
        sameAs.push_back(ViewTimings::timed(1, [&] { same = made->sameAs(*shared); }).front());
        Q_UNUSED(same);
        shownChange.push_back(ViewTimings::timed(1, [&] { show(made); }).front());
        shared = std::move(made);
    }
    results.add(name("analyse_one_topic"), incremental, ms);
    results.add(name("compare_one_topic"), sameAs, ms);
    results.add(name("show_one_topic"), shownChange, ms);
    results.setCount(QStringLiteral("problems_topics_judged_one_topic%1").arg(suffix),
                     double(cache.judgedLastUpdate()));
    return report;
}
