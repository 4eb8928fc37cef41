// What this tool reads from the datagrams its peers send back: acknowledgements of the forged
// SEDP writers' data (ACKNACK, NACK_FRAG) and the peers' own participant announcements, which
// tell where to send the endpoint announcements.
#pragma once

#include "Guid.h"

#include <cstdint>
#include <string>
#include <vector>

struct AckNack
{
    GuidPrefix destination{}; // zero when the message named none
    uint32_t writer = 0;
    int64_t base = 0; // everything below is acknowledged
    std::vector<int64_t> missing;
    int32_t count = 0;
};

struct NackFrag
{
    GuidPrefix destination{};
    uint32_t writer = 0;
    int64_t sequence = 0;
    std::vector<uint32_t> missing; // fragment numbers, from 1
    int32_t count = 0;
};

struct PeerAnnouncement
{
    GuidPrefix prefix{};
    std::vector<uint32_t> metatrafficPorts; // UDPv4 locators on 127.0.0.1 only
};

struct IncomingMessage
{
    GuidPrefix source{};
    std::vector<AckNack> ackNacks;
    std::vector<NackFrag> nackFrags;
    std::vector<PeerAnnouncement> peers;

    // False when the datagram is not an RTPS message; stops quietly at a malformed submessage.
    bool parse(const std::string& datagram);
};
