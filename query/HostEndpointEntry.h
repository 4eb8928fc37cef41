// One data reader or data writer of a process, as the host detail tab lists it.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

struct HostEndpointEntry
{
    std::string hostName;
    std::string ips;
    std::string processName;
    uint32_t pid = 0;
    QString topicName;
    QString typeName;
    // the domain of the monitor's participant that discovered the endpoint
    uint32_t domainId = 0;
};
