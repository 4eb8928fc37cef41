#include "ByteWriter.h"

void ByteWriter::u16(uint16_t value)
{
    m_bytes.push_back(char(value & 0xff));
    m_bytes.push_back(char(value >> 8));
}

void ByteWriter::u32(uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        m_bytes.push_back(char((value >> shift) & 0xff));
    }
}

void ByteWriter::append(const void* bytes, size_t size)
{
    m_bytes.append(static_cast<const char*>(bytes), size);
}

void ByteWriter::align(size_t boundary)
{
    while (m_bytes.size() % boundary != 0) {
        m_bytes.push_back('\0');
    }
}

void ByteWriter::cdrString(const std::string& text)
{
    u32(uint32_t(text.size() + 1));
    m_bytes += text;
    m_bytes.push_back('\0');
}

void ByteWriter::octets(const std::string& bytes)
{
    u32(uint32_t(bytes.size()));
    m_bytes += bytes;
}

void ByteWriter::patchU16(size_t offset, uint16_t value)
{
    m_bytes[offset] = char(value & 0xff);
    m_bytes[offset + 1] = char(value >> 8);
}

void ByteWriter::patchU32(size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        m_bytes[offset + i] = char((value >> (8 * i)) & 0xff);
    }
}
