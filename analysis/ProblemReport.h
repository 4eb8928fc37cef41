// What the problems analysis found in the watched domains: the problems list, the counts of
// every watched domain, and per topic how many writer/reader pairs cannot match. Plain data,
// made on any thread and read on any other once made.
#pragma once

#include "Problem.h"
#include "ProblemEntries.h"

#include <QString>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct DomainSummary
{
    uint32_t domain = 0;
    uint64_t participants = 0;
    uint64_t hosts = 0;
    uint64_t processes = 0;
    uint64_t topics = 0;
    uint64_t writers = 0;
    uint64_t readers = 0;
    uint64_t errors = 0; // writer/reader pairs that cannot match
    uint64_t warnings =
        0;              // endpoints that match nothing on their topic while it has the other side
    uint64_t hints = 0; // topics with only writers or only readers

    bool operator==(const DomainSummary& other) const;
    bool operator!=(const DomainSummary& other) const { return !(*this == other); }
};

// Topic name (bytes as announced) to its number of writer/reader pairs that cannot match;
// only topics that have such pairs.
using TopicPairCounts = std::map<std::string, uint64_t>;
// Domain id to its topics' counts; only domains that have such pairs.
using IncompatiblePairs = std::map<uint32_t, TopicPairCounts>;

struct ProblemReport
{
    // sorted by level, then domain, then topic (see Problem::operator<); the runs of topics
    // that did not change are shared with the reports before
    ProblemEntries problems;
    // every watched domain, ascending
    std::vector<DomainSummary> domains;
    IncompatiblePairs incompatiblePairs;

    // Problems of error level in all domains, as counted (not as listed).
    uint64_t errorCount() const;

    // The same entries with the same texts, the same counts and the same marks. Runs shared
    // by both are not compared entry by entry.
    bool sameAs(const ProblemReport& other) const;

    // One line for a status bar: "0号域：参与者 6，发布端 6，订阅端 7，错误 3" per domain,
    // separated by "；"; empty while no domain is watched.
    QString statusLine() const;
};

using ProblemReportPtr = std::shared_ptr<const ProblemReport>;
