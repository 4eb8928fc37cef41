// One forged participant: what its SPDP announcement says and which endpoints it announces.
#pragma once

#include "EndpointPlan.h"
#include "Guid.h"
#include "ParameterList.h"

#include <string>
#include <vector>

struct ParticipantPlan
{
    std::string label; // for the log
    GuidPrefix prefix{};
    std::vector<Property> properties;
    std::string userData;
    std::vector<EndpointPlan> endpoints;
    // Other versions of some of `endpoints` (same entity id): a change announces them again as
    // these, under their own GUIDs; a restore brings the originals back.
    std::vector<EndpointPlan> changed;
    // When set, announced as it stands instead of the encoding of the fields above.
    std::string spdpPayload;
};
