// Where a discovered participant runs, read from the "dds.sys_info.*" properties it announces,
// with fixed fallbacks for what it does not announce.
#pragma once

#include "BuiltinTopicData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct ParticipantSysInfo
{
    uint8_t key[16] = {};
    std::vector<uint8_t> userData;
    std::string hostName = "RodedUZI";
    uint32_t pid = 1;
    std::string ips = "127.0.0.1";
    std::string processName = "/path/to/exe";
    std::string executablePath = "Other";
    std::string userName = "OtherUser";
    std::string target = "target";
    std::string creationTimestamp;
    std::string executionTimestamp;
};

// Fills a default-constructed info from one participant record.
void readSysInfo(const ZORVAN::ParticipantBuiltinTopicData& data, ParticipantSysInfo& info);

// Raw text of unknown encoding as UTF-8: UTF-8 if it is valid, else GBK, else the local
// 8-bit encoding, else Latin-1.
std::string toUtf8Text(const char* bytes, size_t length);
inline std::string toUtf8Text(const std::string& bytes)
{
    return toUtf8Text(bytes.data(), bytes.size());
}
