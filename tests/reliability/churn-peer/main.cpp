// churn-peer: a crowd of DDS participants that is replaced as a whole every period, so that a
// watching monitor sees many participants join and leave at once, over and over.
//
//   churn-peer --domain N [--count 50] [--period S] [--duration S] [--topic NAME]
//
// Every period `count` new participants join (host churn-host, a process id of their own, one
// writer and one reader on the topic each), then the previous period's `count` leave. Output:
// the first crowd's entities as dds-peer prints them, "READY", then "GENERATION <n>" after each
// replacement. On SIGTERM/SIGINT the crowd is deleted ("JOINED <n> LEFT <n>"); on SIGKILL it
// stays until its leases expire, which the Cyclone configuration of the process decides.
#include "peerkit/Participant.h"
#include "peerkit/StopSignal.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Options
{
    uint32_t domain = 0;
    bool domainGiven = false;
    int count = 50;
    double period = 1.0;
    double duration = -1;
    std::string topic = "ChurnTopic";
};

bool parseNumber(const char* text, double& out)
{
    char* end = nullptr;
    out = std::strtod(text, &end);
    return end != text && *end == '\0';
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        double number = 0;
        if (!hasValue) {
            return false;
        }
        const char* value = argv[++i];
        if (std::strcmp(argv[i - 1], "--topic") == 0) {
            options.topic = value;
            continue;
        }
        if (!parseNumber(value, number)) {
            return false;
        }
        if (std::strcmp(argv[i - 1], "--domain") == 0 && number >= 0 && number <= 231) {
            options.domain = uint32_t(number);
            options.domainGiven = true;
        } else if (std::strcmp(argv[i - 1], "--count") == 0 && number >= 1 && number <= 1000) {
            options.count = int(number);
        } else if (std::strcmp(argv[i - 1], "--period") == 0 && number > 0) {
            options.period = number;
        } else if (std::strcmp(argv[i - 1], "--duration") == 0 && number >= 0) {
            options.duration = number;
        } else {
            return false;
        }
    }
    return options.domainGiven && !options.topic.empty();
}

using Crowd = std::vector<std::unique_ptr<peerkit::Participant>>;

// Every participant is a process of its own as far as a monitor can tell, so the physical
// view gains and loses `count` process items each period.
bool joinCrowd(const Options& options, uint32_t& serial, Crowd& crowd, bool print)
{
    for (int i = 0; i < options.count; ++i) {
        ++serial;
        const std::vector<peerkit::Property> properties = {
            {"dds.sys_info.hostname", "churn-host"},
            {"dds.sys_info.process_id", std::to_string(100000 + serial)},
            {"dds.sys_info.executable_filepath", "/opt/churn/bin/churner"},
            {"dds.sys_info.ip", "192.0.2.99"},
        };
        std::string error;
        std::unique_ptr<peerkit::Participant> participant =
            peerkit::Participant::create(options.domain, properties, std::string(), error);
        if (!participant) {
            std::fprintf(stderr, "churn-peer: %s\n", error.c_str());
            return false;
        }
        const peerkit::Participant::Endpoint* writer =
            participant->addWriter(options.topic, std::string(), nullptr, error);
        const peerkit::Participant::Endpoint* reader =
            writer ? participant->addReader(options.topic, std::string(), nullptr, error) : nullptr;
        if (!reader) {
            std::fprintf(stderr, "churn-peer: %s\n", error.c_str());
            return false;
        }
        if (print) {
            std::printf("participant %s\n", participant->guid().c_str());
            std::printf("writer %s %s\n", writer->guid.c_str(), options.topic.c_str());
            std::printf("reader %s %s\n", reader->guid.c_str(), options.topic.c_str());
        }
        crowd.push_back(std::move(participant));
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options)) {
        std::fputs("usage: churn-peer --domain N [--count 50] [--period S] [--duration S] "
                   "[--topic NAME]\n",
                   stderr);
        return 2;
    }
    peerkit::StopSignal::install();

    uint32_t serial = 0;
    unsigned long joined = 0;
    unsigned long left = 0;
    Crowd crowd;
    if (!joinCrowd(options, serial, crowd, true)) {
        return 1;
    }
    joined += crowd.size();
    std::puts("READY");
    std::fflush(stdout);

    // Generations keep to the period's schedule: the time a crowd takes to join is not added.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    for (unsigned long generation = 1;; ++generation) {
        const double due = double(generation) * options.period;
        const double now = std::chrono::duration<double>(Clock::now() - start).count();
        if (peerkit::StopSignal::sleepFor(due - now)) {
            break;
        }
        if (options.duration >= 0 && due > options.duration) {
            break;
        }
        // The new crowd joins before the old one leaves: the topic and the host never vanish
        // from a monitor's views between two generations.
        Crowd next;
        if (!joinCrowd(options, serial, next, false)) {
            return 1;
        }
        joined += next.size();
        left += crowd.size();
        crowd = std::move(next);
        std::printf("GENERATION %lu\n", generation);
        std::fflush(stdout);
    }
    left += crowd.size();
    crowd.clear();
    std::printf("JOINED %lu LEFT %lu\n", joined, left);
    return 0;
}
