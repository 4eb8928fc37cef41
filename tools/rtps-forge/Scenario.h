// The announcements of each scenario the forge can play, chosen on the command line.
#pragma once

#include "ForgeOptions.h"
#include "ParticipantPlan.h"

#include <string>
#include <vector>

struct Scenario
{
    std::vector<ParticipantPlan> participants;
    // Sent as they stand on every discovery port with each round of announcements.
    std::vector<std::string> rawDatagrams;
};

namespace Scenarios {

struct Info
{
    const char* name;
    const char* summary;
};
const std::vector<Info>& list();

// Throws std::invalid_argument for an unknown scenario name.
Scenario build(const ForgeOptions& options);

// Pieces shared by the scenarios.
GuidPrefix prefix(uint32_t index);
uint32_t entityId(uint32_t number, bool writer);
std::vector<Property> sysInfo(const std::string& host, const std::string& pid);
// A well-formed participant with one writer, announced after the hostile ones: when it shows
// up, the receiver has survived what came before it.
ParticipantPlan canary(uint32_t index);
Scenario malformed(const ForgeOptions& options);
// This process's share of the benchmark's system (options.system), the participants in the
// order of their global index.
Scenario system(const ForgeOptions& options);
// An endpoint of the benchmark's system with the QoS shape of its topic, numbered `number`
// among its participant's endpoints.
EndpointPlan systemEndpoint(const LoadPlan::Endpoint& wanted, uint32_t number);

} // namespace Scenarios
