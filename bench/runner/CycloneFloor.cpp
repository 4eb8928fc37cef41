#include "CycloneFloor.h"

#include <dds/dds.h>

#include <array>
#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Takes every sample the reader holds and returns how many carried data.
int takeAll(dds_entity_t reader)
{
    constexpr int32_t batch = 256;
    std::array<void*, batch> samples;
    std::array<dds_sample_info_t, batch> infos;
    int valid = 0;
    for (;;) {
        samples[0] = nullptr; // loan
        const dds_return_t n = dds_take(reader, samples.data(), infos.data(), batch, batch);
        if (n <= 0) {
            return valid;
        }
        for (dds_return_t i = 0; i < n; ++i) {
            valid += infos[size_t(i)].valid_data ? 1 : 0;
        }
        dds_return_loan(reader, samples.data(), n);
        if (n < batch) {
            return valid;
        }
    }
}

} // namespace

CycloneFloor::Sample CycloneFloor::measure(uint32_t domain)
{
    Sample sample;
    dds_entity_t participant = 0;
    if (dds_lookup_participant(domain, &participant, 1) < 1 || participant <= 0) {
        return sample;
    }
    const dds_entity_t topics[3] = {DDS_BUILTIN_TOPIC_DCPSPARTICIPANT,
                                    DDS_BUILTIN_TOPIC_DCPSPUBLICATION,
                                    DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION};
    dds_entity_t readers[3] = {0, 0, 0};
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < 3; ++i) {
        readers[i] = dds_create_reader(participant, topics[i], nullptr, nullptr);
    }
    const Clock::time_point created = Clock::now();
    int counts[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        if (readers[i] > 0) {
            counts[i] = takeAll(readers[i]);
        }
    }
    const Clock::time_point taken = Clock::now();
    bool ok = true;
    for (dds_entity_t reader : readers) {
        ok = ok && reader > 0;
        if (reader > 0) {
            dds_delete(reader);
        }
    }
    const Clock::time_point end = Clock::now();
    sample.createMs = msBetween(start, created);
    sample.takeMs = msBetween(created, taken);
    sample.totalMs = msBetween(start, end);
    sample.participants = counts[0];
    sample.publications = counts[1];
    sample.subscriptions = counts[2];
    sample.ok = ok;
    return sample;
}
