#include "WatchedEndpoints.h"

#include "DiscoveryMirror.h"
#include "DomainWalk.h"
#include "HandleText.h"
#include "MonitorLib.h"

#include <algorithm>
#include <mutex>
#include <set>

using namespace ZORVAN;

template <class Record> std::string WatchedEndpoint<Record>::key() const
{
    return HandleText::keyOf(record->key);
}

template <class Record> QString WatchedEndpoint<Record>::handleText() const
{
    return HandleText::text(key());
}

template <class Record> QString WatchedEndpoint<Record>::processText() const
{
    return QString::fromUtf8(process.processName.data(), int(process.processName.size())) +
           QLatin1Char(':') + QString::number(process.pid);
}

template struct WatchedEndpoint<PublicationBuiltinTopicData>;
template struct WatchedEndpoint<SubscriptionBuiltinTopicData>;

size_t WatchedDomain::writerCount() const
{
    size_t count = 0;
    for (const auto& topic : topics) {
        count += topic.second->writers.size();
    }
    return count;
}

size_t WatchedDomain::readerCount() const
{
    size_t count = 0;
    for (const auto& topic : topics) {
        count += topic.second->readers.size();
    }
    return count;
}

WatchedEndpoints collectWatchedEndpoints(MonitorLib& monitor)
{
    std::lock_guard<std::mutex> lock(monitor.mutex);
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    mirror.sync(monitor);
    // Participants that could not be had are asked again, once each, with their line, as a
    // walk over the domain would.
    DomainWalk::eachWatched(monitor, [&mirror](DomainWalk& walk) {
        const WatchedDomain* domain = mirror.domain(walk.domainId());
        if (!domain) {
            return;
        }
        mirror.report(domain->id,
                      DiscoveryMirror::ParticipantQueries | DiscoveryMirror::EndpointQueries);
        std::set<std::string> asked;
        const auto ask = [&](const auto& endpoint) {
            if (!endpoint.placed &&
                asked.insert(HandleText::keyOf(endpoint.record->participant_key)).second) {
                ParticipantSysInfo info;
                walk.ownerSysInfo(endpoint.record->participant_key, info);
            }
        };
        for (const auto& topic : domain->topics) {
            std::for_each(topic.second->writers.begin(), topic.second->writers.end(), ask);
            std::for_each(topic.second->readers.begin(), topic.second->readers.end(), ask);
        }
    });
    return mirror.endpoints();
}
