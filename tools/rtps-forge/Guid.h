// RTPS GUIDs: a 12-byte participant prefix and a 4-byte entity id, with the entity ids of the
// builtin discovery endpoints this tool speaks for or to.
#pragma once

#include <array>
#include <cstdint>
#include <string>

using GuidPrefix = std::array<uint8_t, 12>;

namespace EntityId {
const uint32_t unknown = 0x00000000;
const uint32_t participant = 0x000001c1;
const uint32_t sedpPublicationsWriter = 0x000003c2;
const uint32_t sedpPublicationsReader = 0x000003c7;
const uint32_t sedpSubscriptionsWriter = 0x000004c2;
const uint32_t sedpSubscriptionsReader = 0x000004c7;
const uint32_t spdpWriter = 0x000100c2;
const uint32_t spdpReader = 0x000100c7;
// Kinds of user-defined endpoints (low byte of the entity id).
const uint8_t userWriterWithKey = 0x02;
const uint8_t userReaderWithKey = 0x07;
} // namespace EntityId

struct Guid
{
    GuidPrefix prefix{};
    uint32_t entity = 0;

    // The 16 bytes as they go on the wire: prefix, then the entity id most significant first.
    std::string bytes() const
    {
        std::string result(reinterpret_cast<const char*>(prefix.data()), prefix.size());
        for (int shift = 24; shift >= 0; shift -= 8) {
            result.push_back(char((entity >> shift) & 0xff));
        }
        return result;
    }
};

// Entity ids travel most significant byte first, independent of the message byte order.
inline uint32_t entityIdFromWire(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

std::string prefixText(const GuidPrefix& prefix);
// The 16 bytes as 32 lowercase hex digits, as dds-peer prints GUIDs.
std::string guidText(const Guid& guid);
