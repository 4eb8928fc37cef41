#include "StopSignal.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

namespace peerkit {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void onStopSignal(int)
{
    stopRequested = 1;
}

} // namespace

void StopSignal::install()
{
    struct sigaction action = {};
    action.sa_handler = &onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool StopSignal::requested()
{
    return stopRequested != 0;
}

bool StopSignal::sleepFor(double seconds)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                           std::chrono::duration<double>(seconds > 0 ? seconds : 0));
    // Polling in short steps keeps the handler async-signal-safe (it only sets a flag).
    while (!requested() && Clock::now() < end) {
        const auto left = end - Clock::now();
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(20)));
    }
    return requested();
}

} // namespace peerkit
