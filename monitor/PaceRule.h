// When the polling thread's next pass is due. A heartbeat pass comes a fixed time after the
// previous pass ended; new discovery data brings a pass sooner, though never closer than a
// minimum interval after the previous pass began. While the network changes in a burst
// (joining a large domain, churn) discovery data waits for the heartbeat, so a burst costs no
// more passes, and no more view rebuilds, than the heartbeat alone would.
#pragma once

#include <chrono>
#include <cstddef>

class PaceRule
{
public:
    using Clock = std::chrono::steady_clock;

    std::chrono::milliseconds heartbeat{200};
    std::chrono::milliseconds minimumInterval{20};
    // Changes the passes found, decaying with burstDecay; from burstChanges on it is a burst.
    double burstChanges = 20;
    std::chrono::milliseconds burstDecay{1000};

    // Records a pass: when it began and ended, and how many handles it found added or
    // removed plus how many records it found changed.
    void passRan(Clock::time_point began, Clock::time_point ended, size_t changes);

    Clock::time_point heartbeatAt() const { return m_ended + heartbeat; }
    // The earliest a pass may begin that is not a heartbeat.
    Clock::time_point earliestAt() const { return m_began + minimumInterval; }
    // When a pass for discovery data noticed at `now` is due.
    Clock::time_point discoveryPassAt(Clock::time_point now) const;
    bool inBurst(Clock::time_point now) const;

private:
    double recentChanges(Clock::time_point now) const;

    Clock::time_point m_began;
    Clock::time_point m_ended;
    double m_recentChanges = 0; // as of m_began
};
