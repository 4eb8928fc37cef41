// Puts the polling thread to sleep between passes and wakes it for the next one: at the
// heartbeat, when a watched participant has new discovery data (the thread itself waits on a
// wait set of the middleware, so no code of ours runs on the middleware's threads), when
// another thread asks for a pass, and for shutdown. PaceRule decides how soon.
#pragma once

#include "DiscoveryWaitSet.h"
#include "DomainEntry.h"
#include "PaceRule.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class PassPacer
{
public:
    // Why a pass runs.
    enum class Wake : uint8_t
    {
        Heartbeat,
        Discovery,
        Request,
        Stop
    };

    PassPacer();
    ~PassPacer();
    PassPacer(const PassPacer&) = delete;
    PassPacer& operator=(const PassPacer&) = delete;

    // Polling thread, with MonitorLib::mutex held: watches the participant of every entry for
    // discovery data, and stops watching participants no longer in the table.
    void follow(const std::map<uint32_t, DomainEntry>& domains);

    // Polling thread: records the pass that just ran (see PaceRule::passRan), then sleeps
    // until the next one is due and says why it is.
    Wake next(PaceRule::Clock::time_point began, PaceRule::Clock::time_point ended, size_t changes);

    // Any thread: a pass as soon as the minimum interval allows.
    void requestPass();
    // Any thread: ends the current wait and every later one with Wake::Stop.
    void stop();

    // Any thread; takes effect from the next wait. Tests stretch it to see the other wakes.
    void setHeartbeat(std::chrono::milliseconds heartbeat);
    std::chrono::milliseconds heartbeat() const { return m_heartbeat; }

    // How many waits ended for `reason` so far.
    uint64_t wakes(Wake reason) const { return m_wakes[size_t(reason)]; }
    // Whether the middleware's wait set is in use (otherwise only heartbeats and requests).
    bool watchesDiscovery() const { return m_waitSetReady; }

private:
    Wake counted(Wake reason);
    // Ends the current wait, whichever it is; with m_mutex held.
    void wakeLocked();
    bool makeWaitSet();

    std::mutex m_mutex;
    std::condition_variable m_wakeUp;
    bool m_stop = false;      // guarded by m_mutex
    bool m_requested = false; // guarded by m_mutex
    // Made by the polling thread when the first participant is to be watched; guarded by
    // m_mutex, except that the polling thread reads it without.
    std::unique_ptr<ZORVAN::DiscoveryWaitSet> m_waitSet;
    bool m_waitSetTried = false;                     // polling thread only
    std::vector<ZORVAN::InstanceHandle_t> m_watched; // polling thread only: participants tried
    PaceRule m_rule;                                 // polling thread only
    std::atomic<std::chrono::milliseconds> m_heartbeat{std::chrono::milliseconds(200)};
    std::atomic<bool> m_waitSetReady{false};
    std::array<std::atomic<uint64_t>, 4> m_wakes{};
};
