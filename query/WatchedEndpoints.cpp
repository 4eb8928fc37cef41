#include "WatchedEndpoints.h"

#include "DiscoveryMirror.h"
#include "HandleText.h"
#include "MonitorLib.h"

#include <mutex>

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
    return mirror.endpoints();
}
