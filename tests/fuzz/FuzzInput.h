// Reads a fuzzer's byte string as a sequence of small fields, so that one input can describe a
// structured record (a participant's property list) and every byte string is a valid input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }

    // The next byte, 0 once the input is used up.
    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }

    // A length-prefixed byte string: one length byte, then that many bytes (fewer at the end).
    std::string bytes()
    {
        const size_t wanted = byte();
        const size_t length = wanted < m_size - m_pos ? wanted : m_size - m_pos;
        std::string result(reinterpret_cast<const char*>(m_data + m_pos), length);
        m_pos += length;
        return result;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};
