#include "SettleRule.h"

bool SettleRule::observe(uint64_t changeCount, int64_t elapsedMs)
{
    if (changeCount != m_lastCount) {
        m_lastCount = changeCount;
        m_lastChangeMs = elapsedMs;
    }
    if (elapsedMs - m_lastChangeMs >= m_quietMs) {
        m_settled = true;
        return true;
    }
    return elapsedMs >= m_longestMs;
}
