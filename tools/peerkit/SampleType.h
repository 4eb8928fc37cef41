// The one data type the peers publish, under a type name chosen per topic: the wire type is
// always the same, only the announced name differs, so a test can stage a type-name mismatch.
#pragma once

#include <dds/dds.h>

#include <cstdint>
#include <string>

namespace peerkit {

// The sample layout; `id` is the key.
struct PeerSample
{
    int32_t id;
    char* text;
};

class SampleType
{
public:
    static constexpr const char* defaultTypeName = "PeerSample";

    explicit SampleType(std::string typeName);
    SampleType(const SampleType&) = delete;
    SampleType& operator=(const SampleType&) = delete;

    // Announces the chosen type name and carries no XTypes type information, so endpoints
    // match on the type name alone.
    const dds_topic_descriptor_t* descriptor() const { return &m_descriptor; }
    const std::string& typeName() const { return m_typeName; }

private:
    std::string m_typeName; // must outlive m_descriptor, which points into it
    dds_topic_descriptor_t m_descriptor;
};

} // namespace peerkit
