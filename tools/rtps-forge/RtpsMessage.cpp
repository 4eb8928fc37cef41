#include "RtpsMessage.h"

#include <chrono>

namespace {
const uint8_t flagLittleEndian = 0x01;
const uint8_t submessageInfoTs = 0x09;
const uint8_t submessageInfoDst = 0x0e;
const uint8_t submessageHeartbeat = 0x07;
const uint8_t submessageGap = 0x08;
const uint8_t submessageData = 0x15;
const uint8_t submessageDataFrag = 0x16;
} // namespace

RtpsMessage::RtpsMessage(const GuidPrefix& source)
{
    m_out.append("RTPS", 4);
    m_out.u8(2); // protocol 2.1
    m_out.u8(1);
    m_out.u8(0x7f); // vendor id
    m_out.u8(0x7f);
    m_out.append(source.data(), source.size());
}

size_t RtpsMessage::begin(uint8_t id, uint8_t flags)
{
    m_out.align(4);
    m_out.u8(id);
    m_out.u8(flags | flagLittleEndian);
    const size_t lengthOffset = m_out.size();
    m_out.u16(0);
    return lengthOffset;
}

void RtpsMessage::end(size_t lengthOffset)
{
    m_out.align(4);
    m_out.patchU16(lengthOffset, uint16_t(m_out.size() - lengthOffset - 2));
}

void RtpsMessage::entityId(uint32_t id)
{
    for (int shift = 24; shift >= 0; shift -= 8) {
        m_out.u8(uint8_t(id >> shift));
    }
}

void RtpsMessage::sequenceNumber(int64_t sequence)
{
    m_out.i32(int32_t(sequence >> 32));
    m_out.u32(uint32_t(sequence & 0xffffffff));
}

void RtpsMessage::infoTimestamp()
{
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(since).count();
    const size_t length = begin(submessageInfoTs, 0);
    m_out.u32(uint32_t(nanos / 1000000000));
    m_out.u32(uint32_t(((nanos % 1000000000) << 32) / 1000000000));
    end(length);
}

void RtpsMessage::infoDestination(const GuidPrefix& destination)
{
    const size_t length = begin(submessageInfoDst, 0);
    m_out.append(destination.data(), destination.size());
    end(length);
}

void RtpsMessage::data(uint32_t reader, uint32_t writer, int64_t sequence,
                       const std::string& inlineQos, const std::string& payload, bool keyOnly)
{
    uint8_t flags = keyOnly ? 0x08 : 0x04;
    if (!inlineQos.empty()) {
        flags |= 0x02;
    }
    const size_t length = begin(submessageData, flags);
    m_out.u16(0);  // extra flags
    m_out.u16(16); // octets to inline QoS: just past the sequence number
    entityId(reader);
    entityId(writer);
    sequenceNumber(sequence);
    m_out.append(inlineQos);
    m_out.append(payload);
    end(length);
}

void RtpsMessage::dataFrag(uint32_t reader, uint32_t writer, int64_t sequence, uint32_t number,
                           uint16_t fragmentSize, uint32_t sampleSize, const std::string& inlineQos,
                           const std::string& fragment)
{
    const size_t length = begin(submessageDataFrag, inlineQos.empty() ? 0 : 0x02);
    m_out.u16(0);
    m_out.u16(28);
    entityId(reader);
    entityId(writer);
    sequenceNumber(sequence);
    m_out.u32(number);
    m_out.u16(1); // fragments in this submessage
    m_out.u16(fragmentSize);
    m_out.u32(sampleSize);
    m_out.append(inlineQos);
    m_out.append(fragment);
    end(length);
}

void RtpsMessage::heartbeat(uint32_t reader, uint32_t writer, int64_t first, int64_t last,
                            int32_t count, bool final)
{
    const size_t length = begin(submessageHeartbeat, final ? 0x02 : 0x00);
    entityId(reader);
    entityId(writer);
    sequenceNumber(first);
    sequenceNumber(last);
    m_out.i32(count);
    end(length);
}

void RtpsMessage::gap(uint32_t reader, uint32_t writer, int64_t sequence)
{
    const size_t length = begin(submessageGap, 0);
    entityId(reader);
    entityId(writer);
    sequenceNumber(sequence);     // gap start
    sequenceNumber(sequence + 1); // gap list: base just past it, no bits
    m_out.u32(0);
    end(length);
}
