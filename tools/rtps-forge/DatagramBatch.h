// Packs submessages for one destination into as few datagrams as the size limit allows and
// sends each full datagram to every port of the destination. A sample too large for one
// datagram goes out as DATA_FRAG fragments, one per datagram.
#pragma once

#include "Guid.h"
#include "LoopbackSocket.h"
#include "RtpsMessage.h"

#include <cstdint>
#include <string>
#include <vector>

struct BatchLimits
{
    size_t batchBytes = 16384;    // datagrams of small submessages are cut here
    size_t datagramBytes = 65000; // a single DATA may fill a datagram up to this size
    uint16_t fragmentBytes = 8192;
};

class DatagramBatch
{
public:
    // `destination` non-null: every datagram starts with INFO_DST naming that participant.
    DatagramBatch(LoopbackSocket& socket, const GuidPrefix& source, std::vector<uint32_t> ports,
                  const BatchLimits& limits, const GuidPrefix* destination = nullptr);
    ~DatagramBatch() { flush(); }
    DatagramBatch(const DatagramBatch&) = delete;
    DatagramBatch& operator=(const DatagramBatch&) = delete;

    // The whole sample: one DATA, or every fragment when it does not fit one datagram.
    void sample(uint32_t reader, uint32_t writer, int64_t sequence, const std::string& inlineQos,
                const std::string& payload, bool keyOnly = false);
    // Just the given fragments (from 1) of a sample that travels fragmented.
    void fragments(uint32_t reader, uint32_t writer, int64_t sequence, const std::string& inlineQos,
                   const std::string& payload, const std::vector<uint32_t>& numbers);
    void heartbeat(uint32_t reader, uint32_t writer, int64_t first, int64_t last, int32_t count);
    void gap(uint32_t reader, uint32_t writer, int64_t sequence);
    void flush();

    // True when a sample of this payload size travels as DATA_FRAG.
    bool needsFragments(size_t payloadBytes, size_t inlineQosBytes) const;
    // The largest payload that still travels as one DATA.
    static size_t payloadRoom(const BatchLimits& limits, size_t inlineQosBytes);

private:
    RtpsMessage fresh() const;
    void room(size_t bytes);

    LoopbackSocket& m_socket;
    GuidPrefix m_source;
    std::vector<uint32_t> m_ports;
    BatchLimits m_limits;
    bool m_haveDestination;
    GuidPrefix m_destination{};
    RtpsMessage m_message;
    size_t m_emptySize;
};
