// rtps-forge: a raw RTPS sender that plays hostile or unusual DDS peers on loopback.
#include "CommandLine.h"
#include "Forge.h"
#include "LoadCommands.h"
#include "Scenario.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <exception>
#include <sys/prctl.h>
#include <unistd.h>

namespace {
std::atomic<bool> stopRequested{false};

void onSignal(int)
{
    stopRequested = true;
}
} // namespace

int main(int argc, char** argv)
{
    ForgeOptions options;
    std::string error;
    switch (CommandLine::parse(argc, argv, options, error)) {
    case CommandLine::Outcome::Help:
        std::fputs(CommandLine::usage().c_str(), stdout);
        return 0;
    case CommandLine::Outcome::List:
        for (const Scenarios::Info& info : Scenarios::list()) {
            std::printf("%-16s %s\n", info.name, info.summary);
        }
        return 0;
    case CommandLine::Outcome::Error:
        std::fprintf(stderr, "rtps-forge: %s\n%s", error.c_str(), CommandLine::usage().c_str());
        return 2;
    case CommandLine::Outcome::Run:
        break;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    // Ends with the process that started it, so a test that dies leaves no forge behind.
    const pid_t parent = getppid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        return 0;
    }
    try {
        const auto started = std::chrono::steady_clock::now();
        Scenario scenario = Scenarios::build(options);
        if (options.scenario == "system") {
            // Driven by the benchmark until it says quit or closes standard input.
            Forge forge(options, scenario.participants, std::move(scenario.rawDatagrams));
            LoadCommands load(forge, options.system, scenario.participants);
            forge.setTick([&load] { return load.tick(); });
            load.ready(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                                 started)
                           .count());
            return forge.run(stopRequested);
        }
        Forge forge(options, std::move(scenario.participants), std::move(scenario.rawDatagrams));
        return forge.run(stopRequested);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "rtps-forge: %s\n", e.what());
        return 1;
    }
}
