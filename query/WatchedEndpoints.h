// Every data writer and data reader of every watched domain with its record and where it runs,
// grouped by topic, and the counts of participants, hosts and processes per domain: the plain
// data the problems analysis, the statistics and the command line read.
#pragma once

#include "BuiltinTopicData.h"
#include "ProcessIdentity.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class MonitorLib;

template <class Record> struct WatchedEndpoint
{
    ZORVAN::InstanceHandle_t handle;
    // as the middleware stores it; never null
    std::shared_ptr<const Record> record;
    // the system information of the participant that owns it
    ProcessIdentity process;
    // false when the participant's record could not be had: `process` holds the defaults
    bool placed = true;

    // The 16 bytes of its key, its handle text ("0x" and 32 hex digits) and "name:pid" as the
    // topic tab shows them.
    std::string key() const;
    QString handleText() const;
    QString processText() const;
};
using WatchedWriter = WatchedEndpoint<ZORVAN::PublicationBuiltinTopicData>;
using WatchedReader = WatchedEndpoint<ZORVAN::SubscriptionBuiltinTopicData>;

struct WatchedTopic
{
    std::string name; // bytes as announced
    // in listing order
    std::vector<WatchedWriter> writers;
    std::vector<WatchedReader> readers;
};
// Topics are handed out shared and never changed afterwards: a topic whose endpoints changed
// is a new object, one that did not is the same object as in the collection before.
using WatchedTopicPtr = std::shared_ptr<const WatchedTopic>;

struct WatchedDomain
{
    uint32_t id = 0;
    // Discovered participants other than the monitor's own, the hosts (name and address list)
    // and the processes (host, addresses, process name and id) they announce.
    size_t participants = 0;
    size_t hosts = 0;
    size_t processes = 0;
    // by name, byte-wise ascending; never null
    std::map<std::string, WatchedTopicPtr> topics;

    size_t writerCount() const;
    size_t readerCount() const;
};

struct WatchedEndpoints
{
    // every watched domain that has a participant, ascending, also those that have discovered
    // nothing yet
    std::vector<WatchedDomain> domains;
};

// Walks every watched domain under monitor.mutex, taken for the whole walk, and prints the
// line of each failed query. A domain whose participant list cannot be had counts no
// participant; a failed writer listing leaves out that domain's readers too; an endpoint whose
// record cannot be fetched is left out. An endpoint whose participant is not among those
// listed, or whose participant's record cannot be fetched, is kept with the defaults of a
// participant that announces nothing: it can still fail to match.
WatchedEndpoints collectWatchedEndpoints(MonitorLib& monitor);
