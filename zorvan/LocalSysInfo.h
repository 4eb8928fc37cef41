// What this process tells the network about itself: the "dds.sys_info.*" properties every
// participant of the layer announces (host, process, user, executable, addresses, times),
// plus the three properties Cyclone would have announced for a default participant.
#pragma once

#include "ZorvanQos.h"

#include <chrono>
#include <string>
#include <vector>

namespace ZORVAN {

class LocalSysInfo
{
public:
    using Clock = std::chrono::system_clock;

    // In announcement order: "__ProcessName", "__Pid", "__Hostname", then
    // "dds.sys_info.hostname", "process_id", "username", "executable_filepath", "target",
    // "creation_timestamp" (the given time), "execution_timestamp", and one "dds.sys_info.ip"
    // per address of ipv4Addresses(). All propagated.
    static std::vector<Property_t> properties(Clock::time_point creationTime);

    static std::string hostName();
    static std::string userName();
    static std::string executablePath();
    // Processor architecture and operating system, for example "x86_64-linux".
    static std::string target();
    // The IPv4 addresses of the interfaces that are up, each once: loopback addresses first,
    // then the others in interface order.
    static std::vector<std::string> ipv4Addresses();
    // When this process started; the given fallback when /proc cannot tell.
    static Clock::time_point processStartTime(Clock::time_point fallback);
    // ISO 8601 in UTC with milliseconds, for example "2024-05-01T08:30:00.250Z".
    static std::string timestampText(Clock::time_point time);
};

} // namespace ZORVAN
