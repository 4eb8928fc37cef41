// Summary of one discovered data writer or data reader, found by its handle.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

struct EndpointInfo
{
    std::string participantKey; // 16 raw bytes
    std::string handleKey;      // 16 raw bytes
    uint32_t domainId = 0;
    QString topicName;
    QString typeName;
    std::string processName;
    int32_t type = -1; // MatchType found as; -1 while not found
};
