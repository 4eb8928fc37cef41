// The data readers and writers of one topic in one domain, with where each runs.
#pragma once

#include "ProcessIdentity.h"

#include <cstdint>
#include <map>
#include <string>

class MonitorLib;

// The topic's endpoints, keyed by the 16 bytes of their instance handle (byte-wise order).
struct TopicEndpoints
{
    std::map<std::string, ProcessIdentity> readers;
    std::map<std::string, ProcessIdentity> writers;
};

// Lists the readers and writers of `topicName` (UTF-8; matched as ShownName does) that the
// monitor's participant in `domainId` discovered: only that domain, since the same name in
// another domain is another topic. A failed writer listing leaves out the readers too; an
// endpoint whose record or whose participant's record cannot be fetched is left out. Takes
// monitor.mutex for the whole walk and prints the line of each failed query.
TopicEndpoints collectTopicEndpoints(MonitorLib& monitor, uint32_t domainId,
                                     const std::string& topicName);
