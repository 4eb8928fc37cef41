// bench-loadgen: one process of the benchmark's synthetic DDS system (see LoadPlan::usage()).
#include "LoadPlan.h"
#include "LoadProcess.h"
#include "peerkit/StopSignal.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Reads whole lines from standard input without blocking the churn.
class CommandInput
{
public:
    // Waits up to `ms` for input; false at end of input.
    bool poll(int ms, std::vector<std::string>& lines)
    {
        pollfd fd{STDIN_FILENO, POLLIN, 0};
        if (::poll(&fd, 1, ms) <= 0) {
            return true;
        }
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        m_pending.append(buffer, size_t(n));
        size_t end;
        while ((end = m_pending.find('\n')) != std::string::npos) {
            lines.push_back(m_pending.substr(0, end));
            m_pending.erase(0, end + 1);
        }
        return true;
    }

private:
    std::string m_pending;
};

} // namespace

int main(int argc, char** argv)
{
    LoadPlan plan;
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(LoadPlan::usage(), stdout);
        return 0;
    }
    if (!plan.parse(args, error)) {
        std::fprintf(stderr, "bench-loadgen: %s\n%s", error.c_str(), LoadPlan::usage());
        return 2;
    }
    peerkit::StopSignal::install();

    LoadProcess load(plan);
    const Clock::time_point started = Clock::now();
    if (!load.create(error)) {
        std::fprintf(stderr, "bench-loadgen: %s\n", error.c_str());
        return 1;
    }
    std::printf("READY %zu %zu %.0f\n", load.participantCount(), load.endpointCount(),
                std::chrono::duration<double, std::milli>(Clock::now() - started).count());
    std::fflush(stdout);

    CommandInput input;
    double churnRate = 0;
    double churnDue = 0;
    Clock::time_point lastTick = Clock::now();
    std::vector<std::string> lines;
    while (!peerkit::StopSignal::requested()) {
        lines.clear();
        if (!input.poll(10, lines)) {
            break;
        }
        bool quit = false;
        for (const std::string& line : lines) {
            if (line.rfind("probe ", 0) == 0) {
                const std::string topic = line.substr(6);
                const int64_t at = load.probe(topic, error);
                if (at < 0) {
                    std::fprintf(stderr, "bench-loadgen: %s\n", error.c_str());
                    return 1;
                }
                std::printf("probe %s %lld\n", topic.c_str(), static_cast<long long>(at));
            } else if (line == "unprobe") {
                load.unprobe();
                std::puts("unprobed");
            } else if (line.rfind("churn ", 0) == 0) {
                churnRate = std::strtod(line.c_str() + 6, nullptr);
                churnDue = 0;
                std::printf("churning %g\n", churnRate);
            } else if (line.rfind("crowd ", 0) == 0) {
                unsigned writers = 0;
                unsigned readers = 0;
                unsigned picky = 0;
                if (std::sscanf(line.c_str() + 6, "%u %u %u", &writers, &readers, &picky) != 3) {
                    std::fprintf(stderr, "bench-loadgen: bad command '%s'\n", line.c_str());
                    return 2;
                }
                const int created = load.crowd(writers, readers, picky, error);
                if (created < 0) {
                    std::fprintf(stderr, "bench-loadgen: %s\n", error.c_str());
                    return 1;
                }
                std::printf("crowded %d\n", created);
            } else if (line == "uncrowd") {
                load.uncrowd();
                std::puts("uncrowded");
            } else if (line == "quit") {
                quit = true;
            }
            std::fflush(stdout);
        }
        if (quit) {
            break;
        }
        const Clock::time_point now = Clock::now();
        churnDue += churnRate * std::chrono::duration<double>(now - lastTick).count();
        lastTick = now;
        if (churnDue >= 1) {
            const uint32_t count = uint32_t(churnDue);
            churnDue -= count;
            if (!load.churn(count, error)) {
                std::fprintf(stderr, "bench-loadgen: %s\n", error.c_str());
                return 1;
            }
        }
    }
    return 0;
}
