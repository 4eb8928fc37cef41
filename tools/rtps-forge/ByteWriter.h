// Little-endian byte buffer for RTPS messages and CDR payloads: every multi-byte value this
// tool writes is little-endian, so that one set of flags (E set, PL_CDR_LE) covers the message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class ByteWriter
{
public:
    void u8(uint8_t value) { m_bytes.push_back(char(value)); }
    void u16(uint16_t value);
    void u32(uint32_t value);
    void i32(int32_t value) { u32(uint32_t(value)); }
    void append(const std::string& bytes) { m_bytes += bytes; }
    void append(const void* bytes, size_t size);
    // Zero bytes up to the next multiple of `boundary`, counted from the start of the buffer.
    void align(size_t boundary);
    // CDR string: length including the terminating zero, the bytes, the zero. No padding after.
    void cdrString(const std::string& text);
    // CDR octet sequence: length, the bytes.
    void octets(const std::string& bytes);

    void patchU16(size_t offset, uint16_t value);
    void patchU32(size_t offset, uint32_t value);

    size_t size() const { return m_bytes.size(); }
    const std::string& bytes() const { return m_bytes; }
    std::string take() { return std::move(m_bytes); }

private:
    std::string m_bytes;
};
