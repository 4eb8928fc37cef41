#include "SampleType.h"

#include <cstddef>

namespace peerkit {

namespace {

// Serialiser program for PeerSample, as the IDL compiler writes it for
// "struct PeerSample { @key int32 id; string text; };".
const uint32_t sampleOps[] = {
    DDS_OP_ADR | DDS_OP_FLAG_KEY | DDS_OP_FLAG_MU | DDS_OP_TYPE_4BY | DDS_OP_FLAG_SGN,
    offsetof(PeerSample, id),
    DDS_OP_ADR | DDS_OP_TYPE_STR,
    offsetof(PeerSample, text),
    DDS_OP_RTS,
    // key list: the key op at index 0
    DDS_OP_KOF | 1,
    0u,
};

// The key descriptor's offset (5) is the index of the DDS_OP_KOF entry above.
const dds_key_descriptor_t sampleKeys[] = {{"id", 5, 0}};

} // namespace

SampleType::SampleType(std::string typeName)
    : m_typeName(std::move(typeName)), m_descriptor{sizeof(PeerSample),
                                                    alignof(PeerSample),
                                                    DDS_TOPIC_FIXED_KEY | DDS_TOPIC_FIXED_KEY_XCDR2,
                                                    1u,
                                                    m_typeName.c_str(),
                                                    sampleKeys,
                                                    3u,
                                                    sampleOps,
                                                    "",
                                                    {nullptr, 0},
                                                    {nullptr, 0},
                                                    0u}
{
}

} // namespace peerkit
