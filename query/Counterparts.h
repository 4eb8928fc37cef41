// Every data writer and data reader on one topic of one domain, in the order the middleware
// lists them: the candidates a chosen endpoint can match with.
#pragma once

#include "BuiltinTopicData.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class MonitorLib;
struct WatchedTopic;

// One discovered endpoint with its record as fetched.
template <class Record> struct DiscoveredEndpoint
{
    ZORVAN::InstanceHandle_t handle;
    Record record;
};
using DiscoveredWriter = DiscoveredEndpoint<ZORVAN::PublicationBuiltinTopicData>;
using DiscoveredReader = DiscoveredEndpoint<ZORVAN::SubscriptionBuiltinTopicData>;

struct Counterparts
{
    // in listing order: the watched domains ascending, each domain's list as listed
    std::vector<DiscoveredWriter> writers;
    std::vector<DiscoveredReader> readers;
};

// Walks the writers and readers of every watched domain and keeps those that the participant
// in `domainId` discovered on `topicName` (UTF-8; matched as ShownName does, case-sensitive).
// Every domain is listed and every record fetched before the domain and topic are compared. A
// failed writer listing leaves out that domain's readers too; a failed fetch skips that
// endpoint. Takes monitor.mutex for the whole walk and prints the line of each failed query.
Counterparts scanCounterparts(MonitorLib& monitor, uint32_t domainId, const std::string& topicName);

// The snapshots of the topics scanCounterparts() reads for `topicName` in `domainId`, after
// bringing the discovery mirror up to date; nothing when a query of that look failed (a scan
// prints its lines then). Equal results mean a scan would find what the last one found, so a
// panel that follows the network can leave its judgements as they are. Takes monitor.mutex.
std::optional<std::vector<std::shared_ptr<const WatchedTopic>>>
counterpartTopics(MonitorLib& monitor, uint32_t domainId, const std::string& topicName);
