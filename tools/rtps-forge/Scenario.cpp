#include "Scenario.h"

#include "Announcement.h"
#include "DatagramBatch.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <unistd.h>

namespace Scenarios {

namespace {

EndpointPlan endpoint(uint32_t number, bool writer, std::string topic, std::string type)
{
    EndpointPlan plan;
    plan.entityId = entityId(number, writer);
    plan.writer = writer;
    plan.topic = std::move(topic);
    plan.type = std::move(type);
    return plan;
}

ParticipantPlan participant(uint32_t index, std::string label, std::vector<Property> properties)
{
    ParticipantPlan plan;
    plan.label = std::move(label);
    plan.prefix = prefix(index);
    plan.properties = std::move(properties);
    return plan;
}

Scenario basic(const ForgeOptions&)
{
    ParticipantPlan plan = participant(1, "basic", sysInfo("forge-host", "4242"));
    plan.userData = "forge";
    plan.endpoints.push_back(endpoint(1, true, "ForgeTopic", "forge::Sample"));
    plan.endpoints.push_back(endpoint(2, false, "ForgeTopic", "forge::Sample"));
    return Scenario{{plan}, {}};
}

// System information first, then numbered properties until the property list parameter or
// the datagram is full.
Scenario maxProperties(const ForgeOptions& options)
{
    ParticipantPlan plan = participant(1, "max-properties", sysInfo("forge-many", "4243"));
    const size_t datagramRoom = options.limits.datagramBytes - 400; // other parameters
    for (uint32_t n = 0;; ++n) {
        char name[32];
        std::snprintf(name, sizeof(name), "p%u", n);
        plan.properties.push_back({name, "v"});
        const size_t value = ParameterList::propertiesValue(plan.properties).size();
        if (value > ParameterList::maxValueSize || value > datagramRoom) {
            plan.properties.pop_back();
            break;
        }
    }
    std::printf("max-properties: %zu properties, property list of %zu bytes\n",
                plan.properties.size(), ParameterList::propertiesValue(plan.properties).size());
    plan.endpoints.push_back(endpoint(1, true, "ForgeTopic", "forge::Sample"));
    return Scenario{{plan, canary(2)}, {}};
}

// A long host name, a writer with a long topic name and a reader with a long type name, each
// of --size bytes. Clamped, each is as long as fits one datagram with the rest of its
// announcement; longer ones need DATA_FRAG.
Scenario huge(const ForgeOptions& options)
{
    auto make = [](size_t size) {
        return participant(1, "huge", sysInfo(std::string(size, 'h'), "4244"));
    };
    size_t size = options.size;
    if (options.clampLongValues) {
        // The participant announcement is the largest of the three; shrink the strings until
        // it fits one datagram next to its key-hash inline QoS.
        AnnouncementContext context;
        const size_t room = DatagramBatch::payloadRoom(options.limits, 24);
        size = std::min(size, ParameterList::maxValueSize);
        for (size_t bytes; (bytes = ParameterList::propertiesValue(make(size).properties).size()) >
                           ParameterList::maxValueSize;) {
            size -= bytes - ParameterList::maxValueSize;
        }
        for (size_t bytes;
             (bytes = Announcement::participant(make(size), context).size()) > room;) {
            size -= bytes - room;
        }
    }
    ParticipantPlan plan = make(size);
    plan.endpoints.push_back(endpoint(1, true, std::string(size, 't'), "forge::Sample"));
    plan.endpoints.push_back(endpoint(2, false, "ForgeHuge", std::string(size, 'y')));
    std::printf("huge: strings of %zu bytes\n", size);
    return Scenario{{plan, canary(2)}, {}};
}

Scenario badUtf8(const ForgeOptions&)
{
    std::vector<Property> properties = {
        {"dds.sys_info.hostname", "\xff\xfehost"},
        {"dds.sys_info.process_id", "4245"},
        {"dds.sys_info.username", "\xd5\xc5\xc8\xfd"}, // GBK for a Chinese name
        {"dds.sys_info.executable_filepath", "/opt/\xc0\xaf/\xed\xa0\x80"
                                             "app\xff"},
        {"dds.sys_info.target", "\x80\x80"},
        {"dds.sys_info.ip", "10.0.0.\xff"},
        {"dds.sys_info.\xff", "x"},
        {"\xfe\xff", "\xc3"},
    };
    ParticipantPlan plan = participant(1, "bad-utf8", properties);
    plan.endpoints.push_back(endpoint(1, true, "Topic\xff\xfe", "Type\xc3"));
    plan.endpoints.push_back(endpoint(2, false, "\xe4\xb8", "\x80"));
    plan.endpoints.push_back(endpoint(3, true, std::string("Emb\0edded", 9), "forge::Sample"));
    plan.endpoints.back().partitions = {"\xff\xff"};
    return Scenario{{plan, canary(2)}, {}};
}

Scenario badPid(const ForgeOptions&)
{
    Scenario scenario;
    const char* pids[] = {"abc", "-1", "18446744073709551616", "4294967297", ""};
    uint32_t index = 1;
    for (const char* pid : pids) {
        const std::string host = "forge-pid-" + std::to_string(index);
        ParticipantPlan plan = participant(index, "pid " + std::string(pid), sysInfo(host, pid));
        plan.endpoints.push_back(endpoint(1, true, "ForgePid", "forge::Sample"));
        scenario.participants.push_back(plan);
        ++index;
    }
    scenario.participants.push_back(canary(index));
    return scenario;
}

Scenario manyEndpoints(const ForgeOptions& options)
{
    const size_t count = options.count ? options.count : 2000;
    ParticipantPlan plan = participant(1, "many-endpoints", sysInfo("forge-crowd", "4246"));
    for (uint32_t n = 1; n <= count; ++n) {
        plan.endpoints.push_back(endpoint(n, true, "ForgeCrowd", "forge::Sample"));
        plan.endpoints.push_back(endpoint(n, false, "ForgeCrowd", "forge::Sample"));
    }
    return Scenario{{plan, canary(2)}, {}};
}

// A writer and a reader on one topic that match; changed, the writer moves to another
// partition and offers a longer deadline than the reader asks for, so the pair cannot match,
// until it is restored.
Scenario requalify(const ForgeOptions&)
{
    ParticipantPlan plan = participant(1, "requalify", sysInfo("forge-requalify", "4248"));
    EndpointPlan writer = endpoint(1, true, "ForgeRequalify", "forge::Sample");
    writer.partitions = {"Forge"};
    writer.deadlineSeconds = 1;
    EndpointPlan reader = endpoint(2, false, "ForgeRequalify", "forge::Sample");
    reader.partitions = {"Forge"};
    reader.deadlineSeconds = 2;
    plan.endpoints = {writer, reader};
    writer.partitions = {"Elsewhere"};
    writer.deadlineSeconds = 5;
    plan.changed = {writer};
    return Scenario{{plan}, {}};
}

} // namespace

const std::vector<Info>& list()
{
    static const std::vector<Info> infos = {
        {"basic", "one participant with system information, one writer, one reader"},
        {"max-properties", "as many properties as one announcement holds"},
        {"huge", "host name, user data, topic and type name of --size bytes (DATA_FRAG)"},
        {"bad-utf8", "names and values that are not valid UTF-8"},
        {"bad-pid", "process ids abc, -1, 18446744073709551616, 4294967297 and empty"},
        {"many-endpoints", "--count writers and --count readers on one topic (default 2000)"},
        {"malformed", "broken parameter lists and submessages, then a well-formed participant"},
        {"requalify", "a writer and a reader that match until the writer changes partition and "
                      "deadline (--change-after, --change-every, --commands)"},
        {"system", "the benchmark's system (--participants, --writers, --readers, --topics, "
                   "--hot-percent, --processes, --index), driven by the benchmark's commands"},
    };
    return infos;
}

Scenario build(const ForgeOptions& options)
{
    const std::string& name = options.scenario;
    if (name == "basic") {
        return basic(options);
    } else if (name == "max-properties") {
        return maxProperties(options);
    } else if (name == "huge") {
        return huge(options);
    } else if (name == "bad-utf8") {
        return badUtf8(options);
    } else if (name == "bad-pid") {
        return badPid(options);
    } else if (name == "many-endpoints") {
        return manyEndpoints(options);
    } else if (name == "malformed") {
        return malformed(options);
    } else if (name == "requalify") {
        return requalify(options);
    } else if (name == "system") {
        return system(options);
    }
    throw std::invalid_argument("unknown scenario: " + name);
}

GuidPrefix prefix(uint32_t index)
{
    // Vendor bytes, a marker that says "forged", this process, the participant's index.
    const uint32_t pid = uint32_t(::getpid());
    return GuidPrefix{0x7f,
                      0x7f,
                      'F',
                      'G',
                      uint8_t(pid >> 24),
                      uint8_t(pid >> 16),
                      uint8_t(pid >> 8),
                      uint8_t(pid),
                      uint8_t(index >> 24),
                      uint8_t(index >> 16),
                      uint8_t(index >> 8),
                      uint8_t(index)};
}

uint32_t entityId(uint32_t number, bool writer)
{
    return (number << 8) | (writer ? EntityId::userWriterWithKey : EntityId::userReaderWithKey);
}

std::vector<Property> sysInfo(const std::string& host, const std::string& pid)
{
    return {
        {"dds.sys_info.hostname", host},
        {"dds.sys_info.process_id", pid},
        {"dds.sys_info.username", "forger"},
        {"dds.sys_info.executable_filepath", "/opt/forge/bin/forged-app"},
        {"dds.sys_info.target", "x86_64.linux"},
        {"dds.sys_info.creation_timestamp", "2024-05-01 10:00:00"},
        {"dds.sys_info.execution_timestamp", "2024-05-01 10:00:01"},
        {"dds.sys_info.ip", "192.0.2.10"},
    };
}

ParticipantPlan canary(uint32_t index)
{
    ParticipantPlan plan = participant(index, "canary", sysInfo("forge-canary", "4247"));
    plan.endpoints.push_back(endpoint(1, true, "ForgeCanary", "forge::Sample"));
    return plan;
}

} // namespace Scenarios
