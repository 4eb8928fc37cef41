// A Cyclone topic type for tests that need real writers and readers: a struct with one int32
// key field, described by hand the way Cyclone's IDL compiler would (without type metadata).
#pragma once

#include <dds/dds.h>

#include <cstddef>
#include <cstdint>

namespace KeyedTopic {

struct Sample
{
    int32_t id;
};

inline const dds_topic_descriptor_t* descriptor()
{
    static const uint32_t ops[] = {DDS_OP_ADR | DDS_OP_FLAG_KEY | DDS_OP_FLAG_MU | DDS_OP_TYPE_4BY |
                                       DDS_OP_FLAG_SGN,
                                   offsetof(Sample, id), DDS_OP_RTS,
                                   // key: id
                                   DDS_OP_KOF | 1, 0u};
    static const dds_key_descriptor_t keys[1] = {{"id", 3, 0}};
    static const dds_topic_descriptor_t descriptor = {
        sizeof(Sample),
        alignof(Sample),
        DDS_TOPIC_FIXED_KEY | DDS_TOPIC_FIXED_KEY_XCDR2 | DDS_TOPIC_FIXED_SIZE,
        1u,
        "zorvan::test::Sample",
        keys,
        2,
        ops,
        "",
        {nullptr, 0},
        {nullptr, 0},
        0};
    return &descriptor;
}

inline const char* typeName()
{
    return "zorvan::test::Sample";
}

} // namespace KeyedTopic
