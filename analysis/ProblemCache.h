// The per-topic results of the last problems analysis, each with the topic it was made from,
// so that the next analysis judges only the topics that changed since: a topic that did not
// change is the same object in the next collection. Belongs to one analysing thread.
#pragma once

#include "ProblemLimits.h"
#include "TopicReport.h"
#include "WatchedEndpoints.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class ProblemCache
{
public:
    explicit ProblemCache(const ProblemLimits& limits = ProblemLimits());

    const ProblemLimits& limits() const { return m_limits; }

    // The results of every topic of every domain, in the order of `endpoints`: the kept ones
    // for topics that are the objects they were made from, the others made anew. Forgets the
    // domains and topics that went.
    std::vector<std::vector<TopicReportPtr>> update(const WatchedEndpoints& endpoints);

    // How many topics the last update judged anew.
    size_t judgedLastUpdate() const { return m_judged; }

private:
    struct Kept
    {
        WatchedTopicPtr topic;
        TopicReportPtr results;
    };
    // by topic name, as WatchedDomain::topics
    using DomainCache = std::map<std::string, Kept>;

    std::vector<TopicReportPtr> update(const WatchedDomain& domain, DomainCache& kept);

    const ProblemLimits m_limits;
    std::map<uint32_t, DomainCache> m_domains;
    size_t m_judged = 0;
};
