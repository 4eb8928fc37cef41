// What the problems analysis found on one topic of one domain: its entries of each level and
// its counts. Made once per version of the topic and never changed afterwards, so consecutive
// reports share it while the topic's endpoints stay the same.
#pragma once

#include "Problem.h"
#include "ProblemLimits.h"
#include "WatchedEndpoints.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TopicReport;
using TopicReportPtr = std::shared_ptr<const TopicReport>;

struct TopicReport
{
    uint64_t writers = 0;
    uint64_t readers = 0;
    // as counted, not as listed (see TopicProblems)
    uint64_t incompatiblePairs = 0;
    uint64_t unmatchedEndpoints = 0;
    bool oneSided = false;
    // the entries of each level, in list order
    std::vector<Problem> errors;
    std::vector<Problem> warnings;
    std::vector<Problem> hints;

    static TopicReportPtr of(uint32_t domain, const WatchedTopic& topic,
                             const ProblemLimits& limits);
};
