#include "StopSignal.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <sys/prctl.h>
#include <thread>
#include <unistd.h>

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
    // The end of the process that started the peer is a stop request too: a test that dies
    // must not leave its peers running, holding the output pipe its runner waits on.
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        stopRequested = 1; // the parent was gone before the request took effect
    }
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
