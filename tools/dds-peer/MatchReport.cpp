#include "MatchReport.h"

#include "peerkit/StopSignal.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

using TopicSet = std::set<std::string>;

// Topics of the alive samples a builtin reader holds.
TopicSet aliveTopics(dds_entity_t reader)
{
    TopicSet topics;
    constexpr size_t max = 4096;
    std::vector<void*> samples(max, nullptr);
    std::vector<dds_sample_info_t> infos(max);
    const dds_return_t n = dds_read(reader, samples.data(), infos.data(), max, max);
    for (dds_return_t i = 0; i < n; ++i) {
        const auto* endpoint = static_cast<const dds_builtintopic_endpoint_t*>(samples[size_t(i)]);
        if (infos[size_t(i)].valid_data && infos[size_t(i)].instance_state == DDS_IST_ALIVE) {
            topics.insert(endpoint->topic_name);
        }
    }
    if (n > 0) {
        dds_return_loan(reader, samples.data(), n);
    }
    return topics;
}

// The builtin readers of one domain, on the first participant of the peer in that domain.
struct DomainWatch
{
    dds_entity_t publications = 0;
    dds_entity_t subscriptions = 0;
    TopicSet writerTopics;
    TopicSet readerTopics;
};

int32_t matchedCount(const peerkit::Participant::Endpoint& endpoint)
{
    if (endpoint.isWriter) {
        dds_publication_matched_status_t status{};
        return dds_get_publication_matched_status(endpoint.entity, &status) == DDS_RETCODE_OK
                   ? int32_t(status.current_count)
                   : -1;
    }
    dds_subscription_matched_status_t status{};
    return dds_get_subscription_matched_status(endpoint.entity, &status) == DDS_RETCODE_OK
               ? int32_t(status.current_count)
               : -1;
}

} // namespace

void MatchReport::run(const std::vector<const peerkit::Participant*>& participants,
                      double quietSeconds, double timeoutSeconds)
{
    std::map<uint32_t, DomainWatch> watches;
    std::vector<std::pair<uint32_t, const peerkit::Participant::Endpoint*>> endpoints;
    for (const peerkit::Participant* participant : participants) {
        DomainWatch& watch = watches[participant->domain()];
        if (watch.publications == 0) {
            // The readers belong to the participant and go with it.
            watch.publications = dds_create_reader(
                participant->entity(), DDS_BUILTIN_TOPIC_DCPSPUBLICATION, nullptr, nullptr);
            watch.subscriptions = dds_create_reader(
                participant->entity(), DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION, nullptr, nullptr);
        }
        for (const auto& endpoint : participant->endpoints()) {
            endpoints.emplace_back(participant->domain(), endpoint.get());
        }
    }

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastChange = start;
    std::vector<int32_t> counts(endpoints.size(), -2);
    size_t lonely = endpoints.size();
    while (!peerkit::StopSignal::requested()) {
        for (auto& entry : watches) {
            entry.second.writerTopics = aliveTopics(entry.second.publications);
            entry.second.readerTopics = aliveTopics(entry.second.subscriptions);
        }
        const size_t lonelyBefore = lonely;
        lonely = 0;
        for (size_t i = 0; i < endpoints.size(); ++i) {
            const DomainWatch& watch = watches[endpoints[i].first];
            const peerkit::Participant::Endpoint& endpoint = *endpoints[i].second;
            const TopicSet& others = endpoint.isWriter ? watch.readerTopics : watch.writerTopics;
            lonely += others.count(endpoint.topic) == 0 ? 1 : 0;
            const int32_t count = matchedCount(endpoint);
            if (count != counts[i]) {
                counts[i] = count;
                lastChange = Clock::now();
            }
        }
        // A counterpart that just appeared may not be matched yet: the quiet time starts anew.
        if (lonely != lonelyBefore) {
            lastChange = Clock::now();
        }
        const Clock::time_point now = Clock::now();
        const double quiet = std::chrono::duration<double>(now - lastChange).count();
        if ((lonely == 0 && quiet >= quietSeconds) ||
            std::chrono::duration<double>(now - start).count() >= timeoutSeconds) {
            break;
        }
        peerkit::StopSignal::sleepFor(0.05);
    }
    for (size_t i = 0; i < endpoints.size(); ++i) {
        std::printf("matched %s %d\n", endpoints[i].second->guid.c_str(), int(counts[i]));
    }
    if (lonely == 0) {
        std::puts("SETTLED");
    } else {
        std::printf("UNSETTLED %zu\n", lonely);
    }
    std::fflush(stdout);
}
