#include "LoadPlan.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool toUInt(const std::string& text, uint32_t& value)
{
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || parsed > 0xffffffffUL) {
        return false;
    }
    value = uint32_t(parsed);
    return true;
}

} // namespace

bool LoadPlan::parse(const std::vector<std::string>& args, std::string& error)
{
    for (size_t i = 0; i < args.size(); i += 2) {
        const std::string& name = args[i];
        if (i + 1 >= args.size()) {
            error = "missing value after " + name;
            return false;
        }
        const std::string& value = args[i + 1];
        uint32_t* target = nullptr;
        if (name == "--domain") {
            target = &domain;
        } else if (name == "--participants") {
            target = &participants;
        } else if (name == "--writers") {
            target = &writers;
        } else if (name == "--readers") {
            target = &readers;
        } else if (name == "--topics") {
            target = &topics;
        } else if (name == "--processes") {
            target = &processes;
        } else if (name == "--index") {
            target = &processIndex;
        } else if (name == "--hot-percent") {
            char* end = nullptr;
            hotPercent = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || hotPercent < 0 || hotPercent > 100) {
                error = "bad value for --hot-percent: " + value;
                return false;
            }
            continue;
        } else {
            error = "unknown option " + name;
            return false;
        }
        if (!toUInt(value, *target)) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    if (domain > 200 || participants == 0 || topics < 2 || processes == 0 ||
        processIndex >= processes || processes > participants) {
        error = "need domain <= 200, participants > 0, topics >= 2, "
                "0 < processes <= participants and index < processes";
        return false;
    }
    return true;
}

const char* LoadPlan::usage()
{
    return "usage: bench-loadgen [--domain D] [--participants P] [--writers W] [--readers R]\n"
           "                     [--topics T] [--processes N] [--index K] [--hot-percent H]\n"
           "Creates process K's share of a system of P participants with W writers and R\n"
           "readers over T topics, split over N processes; H per cent of the writers and of\n"
           "the readers use the hot topic 0. Prints READY, then reads commands on stdin:\n"
           "  probe <topic>   creates a writer on <topic>, prints \"probe <topic> <ns>\" with\n"
           "                  the steady-clock time taken just before the creation\n"
           "  unprobe         deletes every probe writer\n"
           "  churn <rate>    replaces <rate> endpoints per second (0 stops)\n"
           "  crowd <W> <R> <P>  W writers and R readers on topic bench/crowd, spread over all\n"
           "                  processes; the first P readers ask for reliable delivery, which\n"
           "                  the best-effort writers do not offer; prints \"crowded <n>\"\n"
           "  uncrowd         deletes the crowd\n"
           "  quit            deletes everything and exits (so does end of input)\n";
}

uint32_t LoadPlan::firstParticipant() const
{
    return uint32_t(uint64_t(processIndex) * participants / processes);
}

uint32_t LoadPlan::lastParticipant() const
{
    return uint32_t(uint64_t(processIndex + 1) * participants / processes);
}

uint32_t LoadPlan::hotCount(uint32_t total) const
{
    const uint32_t hot = uint32_t(double(total) * hotPercent / 100.0 + 0.5);
    return hot == 0 && total > 0 && hotPercent > 0 ? 1 : hot;
}

uint32_t LoadPlan::participantOf(uint32_t index, uint32_t hot, uint32_t shift) const
{
    // Hot endpoints are spread evenly over all participants (and so over all processes);
    // the others go round-robin, readers shifted by half the participants so that a
    // participant's readers and writers are on different topics.
    if (index < hot) {
        return uint32_t(uint64_t(index) * participants / hot);
    }
    return (index + shift) % participants;
}

uint32_t LoadPlan::topicOf(uint32_t index, uint32_t hot, uint32_t shift) const
{
    if (index < hot) {
        return 0;
    }
    return 1 + (index - hot + shift) % (topics - 1);
}

std::vector<LoadPlan::Endpoint> LoadPlan::endpoints() const
{
    std::vector<Endpoint> mine;
    const uint32_t first = firstParticipant();
    const uint32_t last = lastParticipant();
    const uint32_t hotWriters = hotCount(writers);
    for (uint32_t w = 0; w < writers; ++w) {
        const uint32_t p = participantOf(w, hotWriters, 0);
        if (p >= first && p < last) {
            mine.push_back(Endpoint{true, p, topicOf(w, hotWriters, 0)});
        }
    }
    const uint32_t hotReaders = hotCount(readers);
    for (uint32_t r = 0; r < readers; ++r) {
        const uint32_t p = participantOf(r, hotReaders, participants / 2);
        if (p >= first && p < last) {
            mine.push_back(Endpoint{false, p, topicOf(r, hotReaders, (topics - 1) / 2)});
        }
    }
    return mine;
}

std::vector<LoadPlan::Endpoint> LoadPlan::crowdEndpoints(uint32_t writers, uint32_t readers,
                                                         uint32_t picky) const
{
    std::vector<Endpoint> mine;
    const uint32_t first = firstParticipant();
    const uint32_t last = lastParticipant();
    for (uint32_t i = 0; i < writers + readers; ++i) {
        const bool isWriter = i < writers;
        const uint32_t index = isWriter ? i : i - writers;
        const uint32_t count = isWriter ? writers : readers;
        const uint32_t p = uint32_t(uint64_t(index) * participants / count);
        if (p >= first && p < last) {
            mine.push_back(Endpoint{isWriter, p, crowdTopic, !isWriter && index < picky});
        }
    }
    return mine;
}

std::string LoadPlan::topicName(uint32_t topic)
{
    if (topic == crowdTopic) {
        return "bench/crowd";
    }
    char text[32];
    std::snprintf(text, sizeof text, "bench/topic/%05u", topic);
    return text;
}

std::string LoadPlan::typeName(uint32_t topic)
{
    if (topic == crowdTopic) {
        return "bench::Crowd";
    }
    return "bench::Sample" + std::to_string(topic % 16);
}

std::vector<peerkit::Property> LoadPlan::sysInfo(uint32_t p)
{
    char host[32];
    char ip[32];
    char exe[64];
    std::snprintf(host, sizeof host, "bench-host-%03u", p / 10);
    std::snprintf(ip, sizeof ip, "10.%u.%u.1", 1 + p / 2500, (p / 10) % 250);
    std::snprintf(exe, sizeof exe, "/opt/bench/bin/app-%04u", p);
    return {
        {"dds.sys_info.hostname", host},
        {"dds.sys_info.process_id", std::to_string(20000 + p)},
        {"dds.sys_info.executable_filepath", exe},
        {"dds.sys_info.username", "bench"},
        {"dds.sys_info.ip", ip},
        {"dds.sys_info.target", "x86_64-linux"},
        {"dds.sys_info.creation_timestamp", "2024-01-01 00:00:00"},
        {"dds.sys_info.execution_timestamp", "2024-01-01 00:00:01"},
    };
}
