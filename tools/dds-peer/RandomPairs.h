// Writer/reader pairs with QoS drawn from a seed, each pair on its own topic, for checking what
// the middleware matches against what the monitor judges. Only the policies that decide a match
// are drawn; the same seed gives the same pairs on every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RandomPair
{
    std::string topic;
    std::string writerType;
    std::string readerType;
    std::string writerQos; // compact QoS text (peerkit::QosLine)
    std::string readerQos;
};

class RandomPairs
{
public:
    // `count` pairs on the topics "Pair_<seed>_<index>".
    static std::vector<RandomPair> generate(int count, uint32_t seed);
};
