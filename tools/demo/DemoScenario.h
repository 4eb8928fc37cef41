// The fixed content of the demo DDS system: who joins, what each announces, and which data
// writers and readers it has with which QoS. Tests rely on it; README.md describes it.
#pragma once

#include "peerkit/Property.h"

#include <string>
#include <vector>

struct DemoEndpoint
{
    bool isWriter;
    std::string topic;
    std::string typeName;
    std::string qos; // compact QoS text (peerkit/QosLine.h)
};

struct DemoParticipant
{
    std::string label; // for messages only
    std::vector<peerkit::Property> properties;
    std::string userData;
    std::vector<DemoEndpoint> endpoints;
};

// The participants every demo domain gets, in creation order.
const std::vector<DemoParticipant>& demoScenario();
