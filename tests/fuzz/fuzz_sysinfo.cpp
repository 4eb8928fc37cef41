// System information from an arbitrary property list: reading never fails, and every field
// matches a straightforward model of the rules (last value wins, addresses accumulate, process
// id through the standard unsigned conversion, file name of a generic "/" path).
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "ParticipantSysInfo.h"
#include "Utf8Check.h"

#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

const char* const knownNames[] = {
    "dds.sys_info.hostname",
    "dds.sys_info.process_id",
    "dds.sys_info.username",
    "dds.sys_info.executable_filepath",
    "dds.sys_info.target",
    "dds.sys_info.creation_timestamp",
    "dds.sys_info.execution_timestamp",
    "dds.sys_info.ip",
};
const size_t knownCount = sizeof(knownNames) / sizeof(knownNames[0]);
const size_t maxProperties = 64;

// Mostly the names that mean something, some near misses, some arbitrary bytes.
std::string propertyName(FuzzInput& in)
{
    const uint8_t tag = in.byte();
    const size_t choice = tag % (knownCount + 4);
    if (choice < knownCount) {
        return knownNames[choice];
    }
    switch (choice - knownCount) {
    case 0:
        return knownNames[(tag >> 4) % knownCount] + in.bytes();
    case 1:
        return "dds.sys_info." + in.bytes();
    default:
        return in.bytes();
    }
}

std::string fileName(const std::string& path)
{
    return std::filesystem::path(path, std::filesystem::path::generic_format).filename().string();
}

ParticipantSysInfo model(const ZORVAN::ParticipantBuiltinTopicData& data)
{
    ParticipantSysInfo info;
    std::memcpy(info.key, data.key.value, sizeof(info.key));
    info.userData = data.user_data.value;
    for (const ZORVAN::Property_t& p : data.property.value) {
        if (p.name == knownNames[0]) {
            info.hostName = p.value;
        } else if (p.name == knownNames[1]) {
            try {
                info.pid = uint32_t(std::stoul(p.value, nullptr, 10));
            } catch (const std::logic_error&) {
                // not a number, or out of range: the previous value stays
            }
        } else if (p.name == knownNames[2]) {
            info.userName = toUtf8Text(p.value);
        } else if (p.name == knownNames[3]) {
            info.executablePath = toUtf8Text(p.value);
            info.processName = toUtf8Text(fileName(p.value));
        } else if (p.name == knownNames[4]) {
            info.target = p.value;
        } else if (p.name == knownNames[5]) {
            info.creationTimestamp = p.value;
        } else if (p.name == knownNames[6]) {
            info.executionTimestamp = p.value;
        } else if (p.name == knownNames[7]) {
            const bool replace = info.ips == "127.0.0.1" || info.ips.empty();
            info.ips = replace ? p.value : info.ips + "," + p.value;
        }
    }
    return info;
}

bool validUtf8(const std::string& text)
{
    return isStrictUtf8(text.data(), text.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput in(data, size);
    ZORVAN::ParticipantBuiltinTopicData record;
    const std::string key = in.bytes();
    std::memcpy(record.key.value, key.data(), std::min(key.size(), sizeof(record.key.value)));
    const std::string userData = in.bytes();
    record.user_data.value.assign(userData.begin(), userData.end());
    while (!in.atEnd() && record.property.value.size() < maxProperties) {
        ZORVAN::Property_t property;
        property.name = propertyName(in);
        property.value = in.bytes();
        record.property.value.push_back(property);
    }

    ParticipantSysInfo info;
    readSysInfo(record, info);
    const ParticipantSysInfo expected = model(record);

    fuzzCheck(std::memcmp(info.key, expected.key, sizeof(info.key)) == 0, "key");
    fuzzCheck(info.userData == expected.userData, "user data");
    fuzzCheck(info.hostName == expected.hostName, "host name");
    fuzzCheck(info.pid == expected.pid, "process id");
    fuzzCheck(info.ips == expected.ips, "addresses");
    fuzzCheck(info.processName == expected.processName, "process name");
    fuzzCheck(info.executablePath == expected.executablePath, "executable path");
    fuzzCheck(info.userName == expected.userName, "user name");
    fuzzCheck(info.target == expected.target, "target");
    fuzzCheck(info.creationTimestamp == expected.creationTimestamp, "creation time stamp");
    fuzzCheck(info.executionTimestamp == expected.executionTimestamp, "execution time stamp");
    // The converted fields are shown as they stand, so they must be text.
    fuzzCheck(validUtf8(info.userName) && validUtf8(info.executablePath) &&
                  validUtf8(info.processName),
              "converted field is not UTF-8");
    return 0;
}
