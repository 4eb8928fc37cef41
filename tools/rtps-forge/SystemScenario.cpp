// The benchmark's system played by forged participants: the participants, system information,
// endpoints, topics and QoS the load generator creates with real ones, from the same plan.
#include "Scenario.h"

#include <stdexcept>

namespace Scenarios {

EndpointPlan systemEndpoint(const LoadPlan::Endpoint& wanted, uint32_t number)
{
    EndpointPlan plan;
    plan.entityId = entityId(number, wanted.isWriter);
    plan.writer = wanted.isWriter;
    plan.topic = LoadPlan::topicName(wanted.topic);
    plan.type = LoadPlan::typeName(wanted.topic);
    // What a real endpoint announces without QoS of its own: reliable writers, best-effort
    // readers.
    plan.reliable = wanted.isWriter;
    if (wanted.topic == LoadPlan::crowdTopic) {
        // The crowd's writers offer best effort; its picky readers ask for reliable delivery.
        plan.reliable = wanted.picky;
        return plan;
    }
    // The load generator's QoS shapes, in its order.
    switch (LoadPlan::qosShape(wanted.topic, wanted.isWriter)) {
    case 1: // reliable, transient local
        plan.reliable = true;
        plan.durability = 1;
        break;
    case 2: // best effort, deadline 1 s, automatic liveliness with a lease of 10 s
        plan.reliable = false;
        plan.deadlineSeconds = 1;
        plan.livelinessSeconds = 10;
        break;
    case 3: // two partitions, destination order by source time stamp
        plan.partitions = {"bench", "bench2"};
        plan.bySourceTimestamp = true;
        break;
    default:
        break;
    }
    return plan;
}

Scenario system(const ForgeOptions& options)
{
    const LoadPlan& load = options.system;
    if (load.processIndex >= load.processes || load.processes > load.participants) {
        throw std::invalid_argument("system: need --index < --processes <= --participants");
    }
    Scenario scenario;
    const uint32_t first = load.firstParticipant();
    for (uint32_t p = first; p < load.lastParticipant(); ++p) {
        ParticipantPlan plan;
        plan.label = "system";
        plan.prefix = prefix(p);
        for (const peerkit::Property& property : LoadPlan::sysInfo(p)) {
            plan.properties.push_back({property.name, property.value});
        }
        scenario.participants.push_back(std::move(plan));
    }
    for (const LoadPlan::Endpoint& wanted : load.endpoints()) {
        ParticipantPlan& owner = scenario.participants[wanted.participant - first];
        owner.endpoints.push_back(systemEndpoint(wanted, uint32_t(owner.endpoints.size()) + 1));
    }
    return scenario;
}

} // namespace Scenarios
