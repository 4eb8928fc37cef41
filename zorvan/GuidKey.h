// The 16-byte GUID of a DDS entity, bytes in network order as Cyclone puts them in builtin-topic
// keys. It is the identity of every record the layer keeps and the bytes of every handle it hands
// out.
#pragma once

#include "ZorvanTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ZORVAN {

struct GuidKey
{
    std::array<uint8_t, 16> bytes{};

    static GuidKey fromBytes(const uint8_t (&raw)[16])
    {
        GuidKey key;
        std::memcpy(key.bytes.data(), raw, key.bytes.size());
        return key;
    }

    // Only a handle the layer could have made (16 significant bytes, valid) names a GUID.
    static bool fromHandle(const InstanceHandle_t& handle, GuidKey& key)
    {
        if (handle.length != 16 || handle.isValid != 1) {
            return false;
        }
        key = fromBytes(handle.value);
        return true;
    }

    InstanceHandle_t toHandle() const
    {
        InstanceHandle_t handle;
        std::memcpy(handle.value, bytes.data(), bytes.size());
        handle.length = 16;
        handle.isValid = 1;
        return handle;
    }

    BuiltinTopicKey_t toKey() const
    {
        BuiltinTopicKey_t key;
        std::memcpy(key.value, bytes.data(), bytes.size());
        return key;
    }

    bool operator==(const GuidKey& other) const { return bytes == other.bytes; }
    bool operator!=(const GuidKey& other) const { return bytes != other.bytes; }

    // GUIDs are well mixed in their middle bytes (prefix) and small in the entity id, so
    // folding both halves spreads them evenly.
    struct Hash
    {
        size_t operator()(const GuidKey& key) const
        {
            uint64_t high = 0;
            uint64_t low = 0;
            std::memcpy(&high, key.bytes.data(), 8);
            std::memcpy(&low, key.bytes.data() + 8, 8);
            uint64_t h = high * 0x9e3779b97f4a7c15ull ^ low * 0xc2b2ae3d27d4eb4full;
            h ^= h >> 31;
            return size_t(h);
        }
    };
};

} // namespace ZORVAN
