#include "ProblemAnalysis.h"

#include "ProblemCache.h"

ProblemReport ProblemAnalysis::analyse(const WatchedEndpoints& endpoints,
                                       const ProblemLimits& limits)
{
    std::vector<std::vector<TopicReportPtr>> results;
    results.reserve(endpoints.domains.size());
    for (const WatchedDomain& domain : endpoints.domains) {
        std::vector<TopicReportPtr> topics;
        topics.reserve(domain.topics.size());
        for (const auto& named : domain.topics) {
            topics.push_back(TopicReport::of(domain.id, *named.second, limits));
        }
        results.push_back(std::move(topics));
    }
    return assemble(endpoints, results);
}

ProblemReport ProblemAnalysis::analyse(const WatchedEndpoints& endpoints, ProblemCache& cache)
{
    return assemble(endpoints, cache.update(endpoints));
}

ProblemReport ProblemAnalysis::assemble(const WatchedEndpoints& endpoints,
                                        const std::vector<std::vector<TopicReportPtr>>& results)
{
    ProblemReport report;
    for (size_t d = 0; d < endpoints.domains.size(); ++d) {
        const WatchedDomain& domain = endpoints.domains[d];
        DomainSummary summary;
        summary.domain = domain.id;
        summary.participants = domain.participants;
        summary.hosts = domain.hosts;
        summary.processes = domain.processes;
        summary.topics = domain.topics.size();
        auto named = domain.topics.begin();
        for (const TopicReportPtr& topic : results[d]) {
            summary.writers += topic->writers;
            summary.readers += topic->readers;
            summary.errors += topic->incompatiblePairs;
            summary.warnings += topic->unmatchedEndpoints;
            summary.hints += topic->oneSided ? 1 : 0;
            if (topic->incompatiblePairs > 0) {
                // topics come in the map's order: each goes at its end
                TopicPairCounts& pairs = report.incompatiblePairs[domain.id];
                pairs.emplace_hint(pairs.end(), named->second->name, topic->incompatiblePairs);
            }
            ++named;
        }
        report.domains.push_back(summary);
    }
    // Domains ascending and topics in byte order: each level's runs come out sorted, and the
    // levels follow one another. A run shares its topic's results (and keeps them alive).
    for (std::vector<Problem> TopicReport::*level :
         {&TopicReport::errors, &TopicReport::warnings, &TopicReport::hints}) {
        for (const std::vector<TopicReportPtr>& domain : results) {
            for (const TopicReportPtr& topic : domain) {
                const std::vector<Problem>& entries = (*topic).*level;
                if (!entries.empty()) {
                    report.problems.append(ProblemEntries::Run(topic, &entries));
                }
            }
        }
    }
    return report;
}

ProblemReport ProblemAnalysis::collectAndAnalyse(MonitorLib& monitor, const ProblemLimits& limits)
{
    return analyse(collectWatchedEndpoints(monitor), limits);
}
