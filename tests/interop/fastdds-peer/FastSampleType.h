// The sample type of the Fast DDS test peer, written by hand: the same wire layout as the
// Cyclone peers' sample ("struct { @key int32 id; string text; }" in plain CDR), so the peer's
// reader can take what a Cyclone writer of the same type name publishes.
#pragma once

#include <fastdds/dds/topic/TopicDataType.hpp>

#include <cstdint>
#include <string>

struct FastSample
{
    int32_t id = 0;
    std::string text;
};

class FastSampleType : public eprosima::fastdds::dds::TopicDataType
{
public:
    // Texts longer than this do not fit the writer's payload and are not written.
    static constexpr uint32_t kMaxTextBytes = 255;

    explicit FastSampleType(const std::string& typeName);

    bool serialize(void* data, eprosima::fastrtps::rtps::SerializedPayload_t* payload) override;
    bool deserialize(eprosima::fastrtps::rtps::SerializedPayload_t* payload, void* data) override;
    std::function<uint32_t()> getSerializedSizeProvider(void* data) override;
    void* createData() override;
    void deleteData(void* data) override;
    // The key hash of a key that fits 16 bytes is its big-endian CDR form, zero padded.
    bool getKey(void* data, eprosima::fastrtps::rtps::InstanceHandle_t* handle,
                bool forceMd5 = false) override;
};
