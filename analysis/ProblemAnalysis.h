// The problems analysis: what stops writers and readers of the watched domains from talking,
// with the counts of every domain. One analysis for the statistics panel, the logical view's
// marks, the status bar, the command line and the benchmark.
//
//   WatchedEndpoints seen = collectWatchedEndpoints(monitor); // under monitor.mutex
//   ProblemReport report = ProblemAnalysis::analyse(seen);    // plain data, any thread
//
// Entries, in this order: "错误" for every writer/reader pair of one topic that cannot match
// (with the engine's reasons), "警告" for a writer none of whose readers can match it or a
// reader none of whose writers can, "提示" for a topic with only writers or only readers; by
// domain and topic within each level. A topic lists at most `limits` pairs and endpoints,
// followed by an entry with the number left out; the counts are always complete.
#pragma once

#include "ProblemLimits.h"
#include "ProblemReport.h"
#include "TopicReport.h"
#include "WatchedEndpoints.h"

#include <vector>

class MonitorLib;
class ProblemCache;

class ProblemAnalysis
{
public:
    // Depends on its arguments alone; may run on any thread.
    static ProblemReport analyse(const WatchedEndpoints& endpoints,
                                 const ProblemLimits& limits = ProblemLimits());
    // The same report, judging only the topics that are not the objects `cache` judged last
    // time (with the cache's limits); the report shares the results of the others with the
    // reports made before. Any thread, one at a time per cache.
    static ProblemReport analyse(const WatchedEndpoints& endpoints, ProblemCache& cache);

    // Collects under monitor.mutex (never call it while holding it), then analyses after the
    // unlock.
    static ProblemReport collectAndAnalyse(MonitorLib& monitor,
                                           const ProblemLimits& limits = ProblemLimits());

private:
    // The report of the topics' results, given per domain in the order of `endpoints`.
    static ProblemReport assemble(const WatchedEndpoints& endpoints,
                                  const std::vector<std::vector<TopicReportPtr>>& results);
};
