#include "SysInfoLine.h"

#include "EscapedText.h"

#include <map>

namespace peerkit {

bool SysInfoLine::parse(const std::string& text, std::vector<Property>& out, std::string& error)
{
    static const std::map<std::string, std::string> names = {
        {"host", "dds.sys_info.hostname"},
        {"pid", "dds.sys_info.process_id"},
        {"exe", "dds.sys_info.executable_filepath"},
        {"user", "dds.sys_info.username"},
        {"ip", "dds.sys_info.ip"},
        {"target", "dds.sys_info.target"},
        {"created", "dds.sys_info.creation_timestamp"},
        {"executed", "dds.sys_info.execution_timestamp"}};

    std::vector<std::string> items;
    if (!splitEscaped(text, ',', items)) {
        error = "the system information ends in a lone backslash";
        return false;
    }
    std::vector<Property> added;
    for (const std::string& item : items) {
        if (trimmed(item).empty()) {
            continue;
        }
        const size_t eq = item.find('=');
        const std::string key = trimmed(item.substr(0, eq));
        const auto name = names.find(key);
        if (eq == std::string::npos || name == names.end()) {
            error = "'" + trimmed(item) +
                    "' is not key=value with a key of host, pid, exe, user, ip, target, created, "
                    "executed";
            return false;
        }
        added.push_back({name->second, unescape(trimmed(item.substr(eq + 1)))});
    }
    out.insert(out.end(), added.begin(), added.end());
    return true;
}

} // namespace peerkit
