#include "VendorIdentity.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace ZORVAN {

namespace {

const char kSysInfoPrefix[] = "dds.sys_info.";

// The last usable value of a property name; empty when there is none.
template <typename Usable>
std::string lastValue(const std::vector<Property_t>& properties, const char* name, Usable usable)
{
    std::string found;
    for (const Property_t& property : properties) {
        if (property.name == name && usable(property.value)) {
            found = property.value;
        }
    }
    return found;
}

bool notEmpty(const std::string& value)
{
    return !value.empty();
}

bool usableFastDdsHost(const std::string& value)
{
    return !VendorIdentity::fastDdsHostName(value).empty();
}

bool isIpAddress(const std::string& text)
{
    in_addr v4{};
    in6_addr v6{};
    return inet_pton(AF_INET, text.c_str(), &v4) == 1 ||
           inet_pton(AF_INET6, text.c_str(), &v6) == 1;
}

std::string trimmed(const std::string& text)
{
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) {
        return std::string();
    }
    const size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// "<kind>/<address>:<port>@<interface index>" to "<address>"; empty when it holds none.
std::string locatorAddress(const std::string& locator)
{
    std::string rest = trimmed(locator);
    const size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        rest.erase(0, slash + 1);
    }
    const size_t at = rest.rfind('@');
    if (at != std::string::npos) {
        rest.erase(at);
    }
    std::string address;
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close != std::string::npos) {
            address = rest.substr(1, close - 1);
        }
    } else if (std::count(rest.begin(), rest.end(), ':') == 1) {
        address = rest.substr(0, rest.find(':'));
    } else {
        address = rest; // no port, or an IPv6 address written without brackets
    }
    return isIpAddress(address) ? address : std::string();
}

Property_t derived(const char* name, std::string value)
{
    Property_t property;
    property.name = name;
    property.value = std::move(value);
    property.propagate = false;
    return property;
}

} // namespace

void VendorIdentity::addSysInfo(std::vector<Property_t>& properties)
{
    for (const Property_t& property : properties) {
        if (property.name.compare(0, sizeof(kSysInfoPrefix) - 1, kSysInfoPrefix) == 0) {
            return;
        }
    }
    std::string host = lastValue(properties, "__Hostname", notEmpty);
    if (host.empty()) {
        host =
            fastDdsHostName(lastValue(properties, "fastdds.physical_data.host", usableFastDdsHost));
    }
    std::string pid = lastValue(properties, "__Pid", isProcessId);
    if (pid.empty()) {
        pid = lastValue(properties, "fastdds.physical_data.process", isProcessId);
    }
    std::string user = lastValue(properties, "fastdds.physical_data.user", notEmpty);
    std::string executable = lastValue(properties, "__ProcessName", notEmpty);
    if (host.empty() && pid.empty() && user.empty() && executable.empty()) {
        return;
    }

    std::vector<std::string> addresses;
    for (const Property_t& property : properties) {
        if (property.name == "__NetworkAddresses") {
            for (std::string& address : networkAddresses(property.value)) {
                if (std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
                    addresses.push_back(std::move(address));
                }
            }
        }
    }

    std::vector<Property_t> added;
    if (!host.empty()) {
        added.push_back(derived("dds.sys_info.hostname", std::move(host)));
    }
    if (!pid.empty()) {
        added.push_back(derived("dds.sys_info.process_id", std::move(pid)));
    }
    if (!user.empty()) {
        added.push_back(derived("dds.sys_info.username", std::move(user)));
    }
    if (!executable.empty()) {
        added.push_back(derived("dds.sys_info.executable_filepath", std::move(executable)));
    }
    for (std::string& address : addresses) {
        added.push_back(derived("dds.sys_info.ip", std::move(address)));
    }
    // Appended all at once, so a failed allocation leaves the record as it was announced.
    properties.reserve(properties.size() + added.size());
    std::move(added.begin(), added.end(), std::back_inserter(properties));
}

std::string VendorIdentity::fastDdsHostName(const std::string& value)
{
    const size_t colon = value.rfind(':');
    if (colon == std::string::npos || colon + 1 == value.size() ||
        value.find_first_not_of("0123456789", colon + 1) != std::string::npos) {
        return value;
    }
    return value.substr(0, colon);
}

bool VendorIdentity::isProcessId(const std::string& value)
{
    if (value.empty() || value.size() > 10 ||
        value.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    return std::stoull(value) <= UINT32_MAX;
}

std::vector<std::string> VendorIdentity::networkAddresses(const std::string& value)
{
    std::vector<std::string> addresses;
    size_t begin = 0;
    for (;;) {
        const size_t comma = value.find(',', begin);
        std::string address = locatorAddress(value.substr(begin, comma - begin));
        if (!address.empty() &&
            std::find(addresses.begin(), addresses.end(), address) == addresses.end()) {
            addresses.push_back(std::move(address));
        }
        if (comma == std::string::npos) {
            return addresses;
        }
        begin = comma + 1;
    }
}

} // namespace ZORVAN
