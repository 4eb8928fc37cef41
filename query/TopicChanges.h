// Follows one topic of one domain from one change notification to the next: which of its
// readers and writers joined (or came back) and which left since the last look. A look lists
// the domain's handles, which is cheap, and fetches only the records of handles it has not
// seen before, so that it costs little per change even among thousands of endpoints.
#pragma once

#include "ProcessIdentity.h"
#include "ZorvanTypes.h"

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class DomainWalk;
class MonitorLib;
struct TopicEndpoints;

class TopicChanges
{
public:
    struct Joined
    {
        std::string key; // 16 raw bytes
        ProcessIdentity process;
        bool reader = false;
    };

    struct Delta
    {
        // readers first, then writers, each in listing order
        std::vector<Joined> joined;
        // keys of shown endpoints no longer listed
        std::vector<std::string> left;

        bool isEmpty() const { return joined.empty() && left.empty(); }
    };

    // `topicName` in UTF-8, matched as ShownName does.
    TopicChanges(uint32_t domainId, std::string topicName);

    // Notes the handles the domain lists now, without fetching a record. Call it before the
    // collection that is then handed to setShown(): an endpoint that joins in between is in
    // the collection and is reported once more by the next update(), which a caller takes as
    // "still there". Takes monitor.mutex; a failed listing is not reported.
    void prime(MonitorLib& monitor);
    // The endpoints the caller shows, as collected after prime().
    void setShown(const TopicEndpoints& shown);

    // What changed since the last prime() or update(). Takes monitor.mutex for the whole look
    // and prints the line of each failed record fetch; a failed listing counts as "no news".
    // A handle listed again after it left is reported as joined.
    Delta update(MonitorLib& monitor);

private:
    template <class Record>
    void follow(DomainWalk& walk, ZORVAN::InstanceHandleSeq& known, bool reader, Delta& delta);

    const uint32_t m_domainId;
    const std::string m_topicName;
    // the domain's handles of the last look
    ZORVAN::InstanceHandleSeq m_writers;
    ZORVAN::InstanceHandleSeq m_readers;
    // keys of the topic's endpoints listed at the last look
    std::unordered_set<std::string> m_present;
};
