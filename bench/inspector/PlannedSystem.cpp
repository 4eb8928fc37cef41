#include "PlannedSystem.h"

#include "IndexedSystem.h"
#include "LoadPlan.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

using namespace ZORVAN;

namespace {

BuiltinTopicKey_t keyOf(uint8_t kind, uint32_t index)
{
    BuiltinTopicKey_t key;
    key.value[0] = 0x01;
    key.value[1] = 0x10;
    key.value[4] = kind;
    for (int i = 0; i < 4; ++i) {
        key.value[8 + i] = uint8_t(index >> (24 - 8 * i));
    }
    key.value[15] = kind == 0 ? 0xc1 : (kind == 1 ? 0x02 : 0x07);
    return key;
}

// QoS as a writer or reader created with the load generator's defaults announces it.
template <class Record> void defaults(Record& r)
{
    r.reliability.kind = 2;
    r.reliability.max_blocking_time.nanosec = 100000000;
    r.deadline.period = {DURATION_INFINITE_SEC, DURATION_INFINITE_NSEC};
    r.latency_budget.duration = {0, 0};
    r.liveliness.lease_duration = {DURATION_INFINITE_SEC, DURATION_INFINITE_NSEC};
    r.partition.name = {"SectorA"};
}

} // namespace

void PlannedSystem::fill(IndexedSystem& system, const LoadPlan& plan)
{
    for (uint32_t p = 0; p < plan.participants; ++p) {
        ParticipantBuiltinTopicData record;
        record.key = keyOf(0, p);
        for (const peerkit::Property& property : LoadPlan::sysInfo(p)) {
            record.property.value.push_back({property.name, property.value, true});
        }
        system.add(record);
    }
    uint32_t index = 0;
    for (const LoadPlan::Endpoint& e : plan.endpoints()) {
        if (e.isWriter) {
            PublicationBuiltinTopicData w;
            w.key = keyOf(1, index++);
            w.participant_key = keyOf(0, e.participant);
            w.topic_name = LoadPlan::topicName(e.topic);
            w.type_name = LoadPlan::typeName(e.topic);
            defaults(w);
            w.lifespan.duration = {DURATION_INFINITE_SEC, DURATION_INFINITE_NSEC};
            system.add(w);
        } else {
            SubscriptionBuiltinTopicData r;
            r.key = keyOf(2, index++);
            r.participant_key = keyOf(0, e.participant);
            r.topic_name = LoadPlan::topicName(e.topic);
            r.type_name = LoadPlan::typeName(e.topic);
            defaults(r);
            // Every seventh reader asks for more durability than the writers offer, so that
            // the problems analysis has pairs to list, as on a real system with mistakes.
            if (index % 7 == 0) {
                r.durability.kind = 1;
            }
            system.add(r);
        }
    }
}

bool PlannedSystem::parse(int argc, char* argv[], LoadPlan& plan, int& repeat, std::string& error)
{
    plan.participants = 1000;
    plan.writers = 5000;
    plan.readers = 5000;
    plan.topics = 2000;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--repeat" && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else {
            args.push_back(argv[i]);
        }
    }
    if (!plan.parse(args, error)) {
        return false;
    }
    plan.processes = 1;
    plan.processIndex = 0;
    return true;
}
