// The entities of the Fast DDS test peer: one participant made from the loopback profile, a
// data writer on kWriterTopic and a data reader on kReaderTopic, with the QoS set in
// FastPeer.cpp (tests compare what the monitor shows with those values).
#pragma once

#include "FastSampleType.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace eprosima {
namespace fastdds {
namespace dds {
class DataReader;
class DataWriter;
class DomainParticipant;
} // namespace dds
} // namespace fastdds
} // namespace eprosima

class FastPeer
{
public:
    static constexpr const char* kProfile = "brelvane_loopback";
    static constexpr const char* kWriterTopic = "InteropTrack";
    static constexpr const char* kReaderTopic = "InteropCommand";
    static constexpr const char* kTypeName = "interop::Sample";

    // Joins `domain` with the participant profile kProfile of `profileFile`. Returns null and
    // says why in `error` when the profile or an entity cannot be made.
    static std::unique_ptr<FastPeer> create(uint32_t domain, const std::string& profileFile,
                                            std::string& error);
    // Deletes every entity, so that peers see the participant leave at once.
    ~FastPeer();
    FastPeer(const FastPeer&) = delete;
    FastPeer& operator=(const FastPeer&) = delete;

    // 32 lowercase hex digits: the GUID prefix, then the entity id.
    std::string participantGuid() const;
    std::string writerGuid() const;
    std::string readerGuid() const;

    bool publish(int32_t id, const std::string& text);
    // Appends what the reader holds to `received` and removes it from the reader.
    void take(std::vector<FastSample>& received);

private:
    FastPeer() = default;
    bool createEntities(std::string& error);

    eprosima::fastdds::dds::DomainParticipant* m_participant = nullptr;
    eprosima::fastdds::dds::DataWriter* m_writer = nullptr;
    eprosima::fastdds::dds::DataReader* m_reader = nullptr;
};
