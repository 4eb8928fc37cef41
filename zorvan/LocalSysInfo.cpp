#include "LocalSysInfo.h"

#include <dds/ddsrt/heap.h>
#include <dds/ddsrt/process.h>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace ZORVAN {

namespace {

Property_t property(const char* name, std::string value)
{
    Property_t result;
    result.name = name;
    result.value = std::move(value);
    result.propagate = true;
    return result;
}

struct IfAddrsFree
{
    void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

} // namespace

std::vector<Property_t> LocalSysInfo::properties(Clock::time_point creationTime)
{
    const std::string host = hostName();
    const std::string pid = std::to_string(long(getpid()));

    std::string processName;
    if (char* name = ddsrt_getprocessname()) {
        processName = name;
        ddsrt_free(name);
    }

    std::vector<Property_t> list;
    list.push_back(property("__ProcessName", processName));
    list.push_back(property("__Pid", pid));
    list.push_back(property("__Hostname", host));
    list.push_back(property("dds.sys_info.hostname", host));
    list.push_back(property("dds.sys_info.process_id", pid));
    list.push_back(property("dds.sys_info.username", userName()));
    list.push_back(property("dds.sys_info.executable_filepath", executablePath()));
    list.push_back(property("dds.sys_info.target", target()));
    list.push_back(property("dds.sys_info.creation_timestamp", timestampText(creationTime)));
    list.push_back(property("dds.sys_info.execution_timestamp",
                            timestampText(processStartTime(creationTime))));
    for (std::string& address : ipv4Addresses()) {
        list.push_back(property("dds.sys_info.ip", std::move(address)));
    }
    return list;
}

std::string LocalSysInfo::hostName()
{
    char buffer[256] = {};
    if (gethostname(buffer, sizeof(buffer) - 1) != 0) {
        return std::string();
    }
    return std::string(buffer);
}

std::string LocalSysInfo::userName()
{
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr) {
        return std::string(found->pw_name);
    }
    if (const char* user = std::getenv("USER")) {
        return std::string(user);
    }
    return std::to_string(unsigned(geteuid()));
}

std::string LocalSysInfo::executablePath()
{
    std::vector<char> buffer(4096);
    while (buffer.size() <= (1u << 16)) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return std::string();
        }
        if (size_t(length) < buffer.size()) {
            return std::string(buffer.data(), size_t(length));
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::string();
}

std::string LocalSysInfo::target()
{
#if defined(__x86_64__)
    const char* arch = "x86_64";
#elif defined(__aarch64__)
    const char* arch = "aarch64";
#elif defined(__i386__)
    const char* arch = "x86";
#elif defined(__arm__)
    const char* arch = "arm";
#elif defined(__riscv) && __riscv_xlen == 64
    const char* arch = "riscv64";
#elif defined(__powerpc64__)
    const char* arch = "ppc64";
#else
    const char* arch = "unknown";
#endif
    return std::string(arch) + "-linux";
}

std::vector<std::string> LocalSysInfo::ipv4Addresses()
{
    std::vector<std::string> loopback;
    std::vector<std::string> other;
    ifaddrs* raw = nullptr;
    if (getifaddrs(&raw) != 0) {
        return other;
    }
    std::unique_ptr<ifaddrs, IfAddrsFree> list(raw);
    for (const ifaddrs* entry = raw; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
            (entry->ifa_flags & IFF_UP) == 0) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof(text)) == nullptr) {
            continue;
        }
        std::vector<std::string>& bucket = (entry->ifa_flags & IFF_LOOPBACK) ? loopback : other;
        const std::string value(text);
        bool seen = false;
        for (const std::string& known : bucket) {
            seen = seen || known == value;
        }
        if (!seen) {
            bucket.push_back(value);
        }
    }
    loopback.insert(loopback.end(), other.begin(), other.end());
    return loopback;
}

LocalSysInfo::Clock::time_point LocalSysInfo::processStartTime(Clock::time_point fallback)
{
    // /proc/self/stat gives the start in clock ticks after boot; the boot clock says how long
    // ago that was. (The boot time in /proc/stat has only whole seconds.)
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    const size_t commandEnd = stat.rfind(')');
    if (commandEnd == std::string::npos) {
        return fallback;
    }
    std::istringstream fields(stat.substr(commandEnd + 1));
    std::string field;
    unsigned long long startTicks = 0;
    // Field 22 of the file; the command (field 2) has been cut off with what precedes it.
    for (int i = 3; i <= 22 && (fields >> field); ++i) {
        if (i == 22) {
            startTicks = std::strtoull(field.c_str(), nullptr, 10);
        }
    }
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec sinceBoot{};
    if (startTicks == 0 || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &sinceBoot) != 0) {
        return fallback;
    }
    const long long startMillis =
        (long long)(startTicks / (unsigned long long)ticksPerSecond) * 1000 +
        (long long)(startTicks % (unsigned long long)ticksPerSecond) * 1000 / ticksPerSecond;
    const long long nowMillis = (long long)sinceBoot.tv_sec * 1000 + sinceBoot.tv_nsec / 1000000;
    if (startMillis > nowMillis) {
        return fallback;
    }
    return Clock::now() - std::chrono::milliseconds(nowMillis - startMillis);
}

std::string LocalSysInfo::timestampText(Clock::time_point time)
{
    const auto sinceEpoch =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const time_t seconds = time_t(sinceEpoch / 1000);
    const int millis = int(sinceEpoch % 1000);
    tm parts{};
    if (gmtime_r(&seconds, &parts) == nullptr) {
        return std::string();
    }
    char text[64] = {};
    std::snprintf(text, sizeof(text), "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec,
                  millis < 0 ? 0 : millis);
    return std::string(text);
}

} // namespace ZORVAN
