// What a dds-peer run is to create, read from its command line before any DDS entity exists,
// so that a mistyped option fails without a half-built peer on the network.
#pragma once

#include "peerkit/Property.h"

#include <cstdint>
#include <string>
#include <vector>

struct PeerPlan
{
    struct Endpoint
    {
        bool isWriter = true;
        std::string topic;
        std::string typeName; // empty: the default type name
        std::string qos;      // compact QoS text, already checked
    };

    struct Participant
    {
        uint32_t domain = 0;
        std::vector<peerkit::Property> properties;
        std::string userData;
        std::vector<Endpoint> endpoints;
        double leaveAfter = -1; // seconds after READY; negative: stays
    };

    enum class PairSide
    {
        Both,
        Writers,
        Readers
    };

    std::vector<Participant> participants;
    double duration = -1;   // seconds; negative: until SIGTERM or SIGINT
    double publishRate = 0; // samples per second and writer; 0: none
    bool help = false;
    // Random writer/reader pairs (RandomPairs), added as participants of their own.
    int randomPairs = 0;
    uint32_t pairsDomain = 0; // the --domain in force at --random-pairs
    uint32_t seed = 1;
    PairSide pairSide = PairSide::Both;
    bool reportMatches = false; // print the settled matched counts after READY (MatchReport)
    bool commands = false;      // read commands from standard input after READY

    // Fills the plan from the arguments (without the program name). Returns false and says
    // what is wrong in `error` on a malformed command line.
    bool parse(const std::vector<std::string>& args, std::string& error);

    static const char* usage();

private:
    // Adds the participants and endpoints of the random pairs to the plan.
    void addRandomPairs(uint32_t domain);
};
