// When discovery has settled: nothing changed for a quiet period (2 s), or the longest wait has
// passed. Fed with the monitor's count of announced changes and the time since the domains were
// joined, so that it is the same rule whatever clock or loop drives it.
#pragma once

#include <cstdint>

class SettleRule
{
public:
    SettleRule(int64_t quietMs, int64_t longestMs, uint64_t countAtJoin)
        : m_quietMs(quietMs), m_longestMs(longestMs), m_lastCount(countAtJoin)
    {
    }

    // Takes the change count seen `elapsedMs` after the join; true once the wait is over.
    bool observe(uint64_t changeCount, int64_t elapsedMs);

    // True when the wait ended because nothing changed for the quiet period, false when the
    // longest wait ended it first (or it has not ended).
    bool isSettled() const { return m_settled; }
    // When the last change was seen, in ms after the join.
    int64_t lastChangeMs() const { return m_lastChangeMs; }

private:
    int64_t m_quietMs;
    int64_t m_longestMs;
    uint64_t m_lastCount;
    int64_t m_lastChangeMs = 0;
    bool m_settled = false;
};
