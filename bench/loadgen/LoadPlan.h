// The synthetic DDS system the benchmark watches, and the share of it one load-generator
// process creates. Every process computes the same assignment from the same numbers, so the
// processes together create each participant and endpoint exactly once.
#pragma once

#include "peerkit/Property.h"

#include <cstdint>
#include <string>
#include <vector>

class LoadPlan
{
public:
    struct Endpoint
    {
        bool isWriter;
        uint32_t participant; // global participant index
        uint32_t topic;       // topic index; 0 is the hot topic; crowdTopic
        bool picky = false;   // a crowd reader that asks for more than the crowd writers offer
    };

    // The crowd: one topic that many writers and readers join on request, some of whose
    // readers cannot match any of its writers.
    static constexpr uint32_t crowdTopic = 0xffffffffu;

    uint32_t domain = 150;
    uint32_t participants = 100;
    uint32_t writers = 500;
    uint32_t readers = 500;
    uint32_t topics = 500;
    uint32_t processes = 1;
    uint32_t processIndex = 0;
    // Share of the writers and of the readers that go to the hot topic, in per cent: a few
    // topics that everybody uses are what makes one topic tab large.
    double hotPercent = 1.0;

    // Parses "--name value" pairs; false with a reason in `error` on a bad or missing value.
    bool parse(const std::vector<std::string>& args, std::string& error);
    static const char* usage();

    // Global indexes of this process's participants: [first, last).
    uint32_t firstParticipant() const;
    uint32_t lastParticipant() const;
    // This process's endpoints, writers first, in global index order.
    std::vector<Endpoint> endpoints() const;
    // This process's share of a crowd of `writers` and `readers` spread evenly over all
    // participants, writers first; the first `picky` readers are picky.
    std::vector<Endpoint> crowdEndpoints(uint32_t writers, uint32_t readers, uint32_t picky) const;

    static std::string topicName(uint32_t topic);
    static std::string typeName(uint32_t topic);
    // The system information participant `p` announces: its own host every ten participants,
    // its own process id and executable.
    static std::vector<peerkit::Property> sysInfo(uint32_t p);

private:
    uint32_t hotCount(uint32_t total) const;
    uint32_t participantOf(uint32_t index, uint32_t hot, uint32_t shift) const;
    uint32_t topicOf(uint32_t index, uint32_t hot, uint32_t shift) const;
};
