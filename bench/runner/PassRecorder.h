// Collects the polling thread's pass timings through MonitorLib's pass observer: how long each
// pass waited for the monitor's mutex and how long it held it.
#pragma once

#include <chrono>
#include <mutex>
#include <vector>

class MonitorLib;

class PassRecorder
{
public:
    struct Pass
    {
        double waitedMs;
        double heldMs;
    };

    explicit PassRecorder(MonitorLib& monitor);
    ~PassRecorder();
    PassRecorder(const PassRecorder&) = delete;
    PassRecorder& operator=(const PassRecorder&) = delete;

    // The passes since the last call, and forgets them.
    std::vector<Pass> take();

private:
    static void observe(std::chrono::nanoseconds waited, std::chrono::nanoseconds held);

    MonitorLib& m_monitor;
    // Written on the polling thread after it released the monitor's mutex, read on the GUI
    // thread: a lock of its own, never taken together with the monitor's.
    static std::mutex s_mutex;
    static std::vector<Pass> s_passes;
};
