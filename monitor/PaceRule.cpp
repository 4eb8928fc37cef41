#include "PaceRule.h"

#include <algorithm>
#include <cmath>

void PaceRule::passRan(Clock::time_point began, Clock::time_point ended, size_t changes)
{
    m_recentChanges = recentChanges(began) + double(changes);
    m_began = began;
    m_ended = ended;
}

PaceRule::Clock::time_point PaceRule::discoveryPassAt(Clock::time_point now) const
{
    if (inBurst(now)) {
        return std::max(now, heartbeatAt());
    }
    return std::max(now, std::min(earliestAt(), heartbeatAt()));
}

bool PaceRule::inBurst(Clock::time_point now) const
{
    return recentChanges(now) >= burstChanges;
}

double PaceRule::recentChanges(Clock::time_point now) const
{
    if (m_recentChanges <= 0 || now <= m_began) {
        return m_recentChanges;
    }
    const double elapsed = std::chrono::duration<double>(now - m_began).count();
    const double decay = std::chrono::duration<double>(burstDecay).count();
    return m_recentChanges * std::exp(-elapsed / decay);
}
