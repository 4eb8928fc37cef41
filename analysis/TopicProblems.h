// The problems of one topic of one domain. Writers and readers with equal compatibility keys
// form a group, and each pair of groups is judged once: the number of pairs that cannot match,
// and which endpoints match nothing, follow from the groups' sizes. The pairs themselves are
// listed only up to the limit, in the order of the writers' and then the readers' keys.
#pragma once

#include "CompatibilityTable.h"
#include "Problem.h"
#include "ProblemLimits.h"
#include "WatchedEndpoints.h"

#include <QCoreApplication>
#include <cstdint>
#include <memory>
#include <vector>

class TopicProblems
{
    Q_DECLARE_TR_FUNCTIONS(TopicProblems)

public:
    TopicProblems(uint32_t domain, const WatchedTopic& topic, const ProblemLimits& limits);

    // Writer/reader pairs that cannot match, and endpoints whose every counterpart is one of
    // them, as counted (not as listed).
    uint64_t incompatiblePairs() const { return m_pairs; }
    uint64_t unmatchedEndpoints() const { return m_unmatched; }
    bool isOneSided() const { return !m_hints.empty(); }
    // How many pairs of groups were judged: writer groups times reader groups.
    uint64_t groupPairsJudged() const { return m_judged; }

    // The entries of each level, in list order.
    std::vector<Problem>& errors() { return m_errors; }
    std::vector<Problem>& warnings() { return m_warnings; }
    std::vector<Problem>& hints() { return m_hints; }

private:
    void judge();
    void listPairs();
    void listUnmatched();
    Problem entry(ProblemLevel level, Problem::Kind kind) const;
    // An endpoint as entries show it, made once however many entries name it.
    template <class Endpoint>
    const ProblemEndpoint& shown(const std::vector<Endpoint>& endpoints, size_t index,
                                 std::vector<ProblemEndpoint>& cache);

    const uint32_t m_domain;
    const WatchedTopic& m_topic;
    const ProblemLimits m_limits;

    // group of each writer and reader, in listing order
    std::vector<int> m_writerGroup;
    std::vector<int> m_readerGroup;
    int m_readerGroups = 0;
    // per writer group, per reader group: 1 when the two cannot match
    std::vector<uint8_t> m_incompatible;
    // per group: whether it can match at least one group of the other side
    std::vector<uint8_t> m_writerMatches;
    std::vector<uint8_t> m_readerMatches;
    // per writer group: whether some reader group cannot match it
    std::vector<uint8_t> m_writerFails;
    // writers and readers in the byte order of their keys
    std::vector<size_t> m_writerOrder;
    std::vector<size_t> m_readerOrder;
    std::vector<ProblemEndpoint> m_writersShown;
    std::vector<ProblemEndpoint> m_readersShown;
    // the table that formed the groups, for the reasons of the listed pairs
    std::unique_ptr<CompatibilityTable> m_table;

    uint64_t m_judged = 0;
    uint64_t m_pairs = 0;
    uint64_t m_unmatched = 0;
    std::vector<Problem> m_errors;
    std::vector<Problem> m_warnings;
    std::vector<Problem> m_hints;
};
