// The problems list of a report, kept as runs: the entries of one level of one topic form a
// run, shared with the topic's results, so that consecutive reports share the runs of the
// topics that stayed the same and a reader can skip them by comparing pointers. Reads like a
// sorted vector of entries.
#pragma once

#include "Problem.h"

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

class ProblemEntries
{
public:
    // never empty; its entries share level, domain and topic
    using Run = std::shared_ptr<const std::vector<Problem>>;

    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Problem;
        using difference_type = std::ptrdiff_t;
        using pointer = const Problem*;
        using reference = const Problem&;

        const_iterator() = default;
        const_iterator(const std::vector<Run>* runs, size_t run) : m_runs(runs), m_run(run) {}
        reference operator*() const { return (*(*m_runs)[m_run])[m_index]; }
        pointer operator->() const { return &**this; }
        const_iterator& operator++();
        const_iterator operator++(int)
        {
            const_iterator was = *this;
            ++*this;
            return was;
        }
        bool operator==(const const_iterator& other) const
        {
            return m_run == other.m_run && m_index == other.m_index;
        }
        bool operator!=(const const_iterator& other) const { return !(*this == other); }

    private:
        const std::vector<Run>* m_runs = nullptr;
        size_t m_run = 0;
        size_t m_index = 0;
    };

    ProblemEntries() = default;
    // Entries in list order, split into runs here (for lists made by hand).
    ProblemEntries(const std::vector<Problem>& entries);
    ProblemEntries(std::initializer_list<Problem> entries);

    // Adds a run after the last one; an empty run is left out.
    void append(Run run);

    const std::vector<Run>& runs() const { return m_runs; }
    // The index of run i's first entry.
    size_t runStart(size_t i) const { return i == 0 ? 0 : m_ends[i - 1]; }

    size_t size() const { return m_ends.empty() ? 0 : m_ends.back(); }
    bool empty() const { return m_runs.empty(); }
    // Entry i, found among the runs by bisection.
    const Problem& operator[](size_t i) const;
    const Problem& front() const { return m_runs.front()->front(); }
    const Problem& back() const { return m_runs.back()->back(); }
    const_iterator begin() const { return const_iterator(&m_runs, 0); }
    const_iterator end() const { return const_iterator(&m_runs, m_runs.size()); }

    // Whether run `a` comes before run `b` in list order (by level, domain and topic).
    static bool runBefore(const std::vector<Problem>& a, const std::vector<Problem>& b);

private:
    std::vector<Run> m_runs;
    // one past each run's last entry
    std::vector<size_t> m_ends;
};
