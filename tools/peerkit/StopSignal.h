// SIGTERM and SIGINT as a stop request for the peer tools' main loops, so they can delete their
// DDS entities (and peers see them leave at once) instead of dying mid-way.
#pragma once

namespace peerkit {

class StopSignal
{
public:
    // Installs the handlers and asks for SIGTERM when the parent process ends; call once at
    // start-up.
    static void install();
    static bool requested();
    // Sleeps up to `seconds`; returns early, with true, once a stop was requested.
    static bool sleepFor(double seconds);
};

} // namespace peerkit
