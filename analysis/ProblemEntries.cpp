#include "ProblemEntries.h"

#include <algorithm>
#include <tuple>

namespace {

bool sameRun(const Problem& a, const Problem& b)
{
    return a.level == b.level && a.domain == b.domain && a.topic == b.topic;
}

} // namespace

ProblemEntries::const_iterator& ProblemEntries::const_iterator::operator++()
{
    if (++m_index == (*m_runs)[m_run]->size()) {
        ++m_run;
        m_index = 0;
    }
    return *this;
}

ProblemEntries::ProblemEntries(const std::vector<Problem>& entries)
{
    auto first = entries.begin();
    while (first != entries.end()) {
        const auto last = std::find_if(first, entries.end(),
                                       [&first](const Problem& p) { return !sameRun(*first, p); });
        append(std::make_shared<const std::vector<Problem>>(first, last));
        first = last;
    }
}

ProblemEntries::ProblemEntries(std::initializer_list<Problem> entries)
    : ProblemEntries(std::vector<Problem>(entries))
{
}

void ProblemEntries::append(Run run)
{
    if (!run || run->empty()) {
        return;
    }
    m_ends.push_back(size() + run->size());
    m_runs.push_back(std::move(run));
}

const Problem& ProblemEntries::operator[](size_t i) const
{
    const size_t run = size_t(std::upper_bound(m_ends.begin(), m_ends.end(), i) - m_ends.begin());
    return (*m_runs[run])[i - runStart(run)];
}

bool ProblemEntries::runBefore(const std::vector<Problem>& a, const std::vector<Problem>& b)
{
    const Problem& x = a.front();
    const Problem& y = b.front();
    return std::tie(x.level, x.domain, x.topic) < std::tie(y.level, y.domain, y.topic);
}
