#include "TopicReport.h"

#include "TopicProblems.h"

TopicReportPtr TopicReport::of(uint32_t domain, const WatchedTopic& topic,
                               const ProblemLimits& limits)
{
    TopicProblems problems(domain, topic, limits);
    auto made = std::make_shared<TopicReport>();
    made->writers = topic.writers.size();
    made->readers = topic.readers.size();
    made->incompatiblePairs = problems.incompatiblePairs();
    made->unmatchedEndpoints = problems.unmatchedEndpoints();
    made->oneSided = problems.isOneSided();
    made->errors = std::move(problems.errors());
    made->warnings = std::move(problems.warnings());
    made->hints = std::move(problems.hints());
    return made;
}
