// Builder of one RTPS message (one UDP datagram): the header, then submessages in call order,
// all little-endian.
#pragma once

#include "ByteWriter.h"
#include "Guid.h"

#include <cstdint>
#include <string>

class RtpsMessage
{
public:
    static constexpr size_t headerSize = 20;

    explicit RtpsMessage(const GuidPrefix& source);

    // Source time stamp of the DATA that follow (now).
    void infoTimestamp();
    // The submessages that follow are meant for this participant only.
    void infoDestination(const GuidPrefix& destination);
    // DATA: a whole sample. `inlineQos` may be empty; a key-only payload sets the K flag.
    void data(uint32_t reader, uint32_t writer, int64_t sequence, const std::string& inlineQos,
              const std::string& payload, bool keyOnly = false);
    // DATA_FRAG: fragment `number` (from 1) of a sample of `sampleSize` bytes cut into pieces
    // of `fragmentSize` bytes.
    void dataFrag(uint32_t reader, uint32_t writer, int64_t sequence, uint32_t number,
                  uint16_t fragmentSize, uint32_t sampleSize, const std::string& inlineQos,
                  const std::string& fragment);
    void heartbeat(uint32_t reader, uint32_t writer, int64_t first, int64_t last, int32_t count,
                   bool final);
    // GAP: `sequence` holds nothing the reader needs (a sample superseded by a later one).
    void gap(uint32_t reader, uint32_t writer, int64_t sequence);
    // A submessage as given, header included (for malformed traffic).
    void raw(const std::string& submessage) { m_out.append(submessage); }

    size_t size() const { return m_out.size(); }
    bool empty() const { return m_out.size() <= headerSize; }
    const std::string& bytes() const { return m_out.bytes(); }

private:
    // Writes the submessage header and returns where its length goes.
    size_t begin(uint8_t id, uint8_t flags);
    void end(size_t lengthOffset);
    void entityId(uint32_t id);
    void sequenceNumber(int64_t sequence);

    ByteWriter m_out;
};
