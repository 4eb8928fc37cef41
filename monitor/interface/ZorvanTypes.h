// Basic value types of the ZORVAN DCPS interface: return codes, instance handles,
// builtin-topic keys and durations.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

namespace ZORVAN {

typedef int32_t ReturnCode_t;
typedef uint32_t DomainId_t;
typedef uint32_t StatusMask;

const ReturnCode_t RETCODE_OK = 0;
const ReturnCode_t RETCODE_ERROR = 1;
const ReturnCode_t RETCODE_BAD_PARAMETER = 3;
const ReturnCode_t RETCODE_PRECONDITION_NOT_MET = 4;
const ReturnCode_t RETCODE_OUT_OF_RESOURCES = 5;
const ReturnCode_t RETCODE_ALREADY_DELETED = 9;

// A handle of the middleware. For every discovered entity it is the entity's 16-byte GUID.
struct InstanceHandle_t
{
    uint8_t value[16] = {};
    uint32_t length = 16; // significant bytes of value
    uint32_t isValid = 0;

    // Equal when length, the first length bytes and isValid are equal.
    bool operator==(const InstanceHandle_t& other) const
    {
        return length == other.length && isValid == other.isValid &&
               std::memcmp(value, other.value, significant()) == 0;
    }
    bool operator!=(const InstanceHandle_t& other) const { return !(*this == other); }

    // Order for handle-keyed sets: by length, then the significant bytes (unsigned), then
    // isValid. Two handles are equivalent under it exactly when they are equal.
    bool operator<(const InstanceHandle_t& other) const
    {
        if (length != other.length) {
            return length < other.length;
        }
        const int bytes = std::memcmp(value, other.value, significant());
        if (bytes != 0) {
            return bytes < 0;
        }
        return isValid < other.isValid;
    }

private:
    size_t significant() const { return length < sizeof(value) ? length : sizeof(value); }
};

typedef std::vector<InstanceHandle_t> InstanceHandleSeq;

// Key of a builtin-topic record: the entity's GUID, bytes in network order.
struct BuiltinTopicKey_t
{
    uint8_t value[16] = {};

    // Word i (0..3) of the key, read big-endian so that it prints in GUID byte order.
    uint32_t word(int i) const
    {
        const uint8_t* p = value + 4 * i;
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    }
};

struct Duration_t
{
    int32_t sec = 0;
    uint32_t nanosec = 0;
};

const int32_t DURATION_INFINITE_SEC = 0x7fffffff;
const uint32_t DURATION_INFINITE_NSEC = 0x7fffffff;

} // namespace ZORVAN
