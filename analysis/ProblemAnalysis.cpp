#include "ProblemAnalysis.h"

#include "TopicProblems.h"

#include <iterator>

namespace {

void append(std::vector<Problem>& to, std::vector<Problem>& from)
{
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

} // namespace

ProblemReport ProblemAnalysis::analyse(const WatchedEndpoints& endpoints,
                                       const ProblemLimits& limits)
{
    ProblemReport report;
    // Domains ascending and topics in byte order: each level's entries come out sorted, and
    // the levels are put one after the other at the end.
    std::vector<Problem> warnings;
    std::vector<Problem> hints;
    for (const WatchedDomain& domain : endpoints.domains) {
        DomainSummary summary;
        summary.domain = domain.id;
        summary.participants = domain.participants;
        summary.hosts = domain.hosts;
        summary.processes = domain.processes;
        summary.topics = domain.topics.size();
        for (const auto& named : domain.topics) {
            const WatchedTopic& topic = *named.second;
            summary.writers += topic.writers.size();
            summary.readers += topic.readers.size();
            TopicProblems problems(domain.id, topic, limits);
            summary.errors += problems.incompatiblePairs();
            summary.warnings += problems.unmatchedEndpoints();
            summary.hints += problems.isOneSided() ? 1 : 0;
            if (problems.incompatiblePairs() > 0) {
                report.incompatiblePairs[domain.id][topic.name] = problems.incompatiblePairs();
            }
            append(report.problems, problems.errors());
            append(warnings, problems.warnings());
            append(hints, problems.hints());
        }
        report.domains.push_back(summary);
    }
    append(report.problems, warnings);
    append(report.problems, hints);
    return report;
}

ProblemReport ProblemAnalysis::collectAndAnalyse(MonitorLib& monitor, const ProblemLimits& limits)
{
    return analyse(collectWatchedEndpoints(monitor), limits);
}
