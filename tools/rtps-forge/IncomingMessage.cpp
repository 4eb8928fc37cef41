#include "IncomingMessage.h"

#include <cstring>

namespace {

// Bounds-checked reads in the byte order of the submessage being read.
class Cursor
{
public:
    Cursor(const uint8_t* data, size_t size, bool little) : m_p(data), m_size(size), m_le(little) {}

    bool has(size_t n) const { return m_pos + n <= m_size; }
    size_t remaining() const { return m_size - m_pos; }
    const uint8_t* here() const { return m_p + m_pos; }
    void skip(size_t n) { m_pos += n; }
    void seek(size_t pos) { m_pos = pos; }
    size_t pos() const { return m_pos; }

    uint16_t u16()
    {
        const uint8_t* p = here();
        m_pos += 2;
        return m_le ? uint16_t(p[0] | (p[1] << 8)) : uint16_t((p[0] << 8) | p[1]);
    }
    uint32_t u32()
    {
        const uint8_t* p = here();
        m_pos += 4;
        if (m_le) {
            return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                   (uint32_t(p[3]) << 24);
        }
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    }
    uint32_t entityId()
    {
        const uint32_t id = entityIdFromWire(here());
        m_pos += 4;
        return id;
    }
    int64_t sequence()
    {
        const int64_t high = int32_t(u32());
        return (high << 32) | u32();
    }

private:
    const uint8_t* m_p;
    size_t m_size;
    size_t m_pos = 0;
    bool m_le;
};

// Set members of a bitmap as offsets from its base; false when the bitmap is cut short.
bool bitmapMembers(Cursor& in, std::vector<uint32_t>& offsets)
{
    if (!in.has(4)) {
        return false;
    }
    const uint32_t bits = in.u32();
    if (bits > 256 || !in.has((bits + 31) / 32 * 4)) {
        return false;
    }
    for (uint32_t word = 0; word < (bits + 31) / 32; ++word) {
        const uint32_t value = in.u32();
        for (uint32_t bit = 0; bit < 32 && word * 32 + bit < bits; ++bit) {
            if (value & (0x80000000u >> bit)) {
                offsets.push_back(word * 32 + bit);
            }
        }
    }
    return true;
}

// The participant GUID and loopback metatraffic locators of an SPDP parameter list.
bool readSpdp(const uint8_t* data, size_t size, PeerAnnouncement& peer)
{
    if (size < 4 || data[0] != 0 || (data[1] != 2 && data[1] != 3)) {
        return false;
    }
    Cursor in(data, size, data[1] == 3);
    in.skip(4);
    bool haveGuid = false;
    while (in.has(4)) {
        const uint16_t pid = in.u16();
        const uint16_t length = in.u16();
        if (pid == 0x0001 || !in.has(length)) {
            break;
        }
        const size_t next = in.pos() + length;
        if (pid == 0x0050 && length >= 16) {
            std::memcpy(peer.prefix.data(), in.here(), peer.prefix.size());
            haveGuid = true;
        } else if (pid == 0x0032 && length >= 24) {
            const uint32_t kind = in.u32();
            const uint32_t port = in.u32();
            const uint8_t* address = in.here();
            const uint8_t loopback[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 127, 0, 0, 1};
            if (kind == 1 && std::memcmp(address, loopback, 16) == 0 && port > 0 && port < 65536) {
                peer.metatrafficPorts.push_back(port);
            }
        }
        in.seek(next);
    }
    return haveGuid;
}

void readData(Cursor& in, uint8_t flags, size_t end, std::vector<PeerAnnouncement>& peers)
{
    if (!in.has(20)) {
        return;
    }
    in.skip(2);
    const uint16_t toInlineQos = in.u16();
    in.skip(4); // reader
    const uint32_t writer = in.entityId();
    if (writer != EntityId::spdpWriter || !(flags & 0x04)) {
        return;
    }
    in.seek(in.pos() - 8 + toInlineQos);
    if (flags & 0x02) {
        // Walk the inline QoS to its sentinel.
        while (in.has(4) && in.pos() < end) {
            const uint16_t pid = in.u16();
            const uint16_t length = in.u16();
            in.skip(length);
            if (pid == 0x0001) {
                break;
            }
        }
    }
    if (in.pos() >= end) {
        return;
    }
    PeerAnnouncement peer;
    if (readSpdp(in.here(), end - in.pos(), peer)) {
        peers.push_back(peer);
    }
}

} // namespace

bool IncomingMessage::parse(const std::string& datagram)
{
    const auto* data = reinterpret_cast<const uint8_t*>(datagram.data());
    if (datagram.size() < 20 || std::memcmp(data, "RTPS", 4) != 0) {
        return false;
    }
    std::memcpy(source.data(), data + 8, source.size());
    GuidPrefix destination{};
    size_t offset = 20;
    while (offset + 4 <= datagram.size()) {
        const uint8_t id = data[offset];
        const uint8_t flags = data[offset + 1];
        Cursor header(data + offset + 2, 2, flags & 0x01);
        uint16_t length = header.u16();
        const size_t bodyStart = offset + 4;
        size_t end = length == 0 ? datagram.size() : bodyStart + length;
        if (end > datagram.size()) {
            break;
        }
        Cursor in(data, end, flags & 0x01);
        in.seek(bodyStart);
        if (id == 0x0e && in.has(12)) { // INFO_DST
            std::memcpy(destination.data(), in.here(), destination.size());
        } else if (id == 0x06 && in.has(20)) { // ACKNACK
            AckNack ack;
            ack.destination = destination;
            in.skip(4);
            ack.writer = in.entityId();
            ack.base = in.sequence();
            std::vector<uint32_t> offsets;
            if (bitmapMembers(in, offsets) && in.has(4)) {
                ack.count = int32_t(in.u32());
                for (uint32_t o : offsets) {
                    ack.missing.push_back(ack.base + o);
                }
                ackNacks.push_back(ack);
            }
        } else if (id == 0x12 && in.has(24)) { // NACK_FRAG
            NackFrag nack;
            nack.destination = destination;
            in.skip(4);
            nack.writer = in.entityId();
            nack.sequence = in.sequence();
            const uint32_t base = in.u32();
            std::vector<uint32_t> offsets;
            if (bitmapMembers(in, offsets) && in.has(4)) {
                nack.count = int32_t(in.u32());
                for (uint32_t o : offsets) {
                    nack.missing.push_back(base + o);
                }
                nackFrags.push_back(nack);
            }
        } else if (id == 0x15) { // DATA
            readData(in, flags, end, peers);
        }
        offset = end;
    }
    return true;
}
