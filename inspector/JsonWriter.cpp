#include "JsonWriter.h"

#include "PrintableText.h"

#include <cstring>

JsonWriter::JsonWriter(std::string& out, Layout layout) : m_out(out), m_layout(layout) {}

void JsonWriter::appendEscaped(std::string& out, const char* data, size_t size)
{
    static const char hex[] = "0123456789abcdef";
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    while (p < end) {
        const unsigned char c = *p;
        if (c >= 0x80) {
            const size_t length = PrintableText::utf8SequenceLength(p, size_t(end - p));
            if (length == 0) {
                out += "\xEF\xBF\xBD"; // U+FFFD for the one byte that starts no valid sequence
                ++p;
            } else {
                out.append(reinterpret_cast<const char*>(p), length);
                p += length;
            }
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out += "\\u00";
                out += hex[c >> 4];
                out += hex[c & 0xF];
            } else {
                out += char(c);
            }
        }
        ++p;
    }
}

void JsonWriter::newLine()
{
    if (m_layout == Layout::Indented) {
        m_out += '\n';
        m_out.append(2 * m_counts.size(), ' ');
    }
}

void JsonWriter::beforeValue()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_counts.empty()) {
        if (m_counts.back()++ > 0) {
            m_out += ',';
        }
        newLine();
    }
}

JsonWriter& JsonWriter::beginObject()
{
    beforeValue();
    m_out += '{';
    m_counts.push_back(0);
    return *this;
}

JsonWriter& JsonWriter::close(char bracket)
{
    const bool empty = m_counts.back() == 0;
    m_counts.pop_back();
    if (!empty) {
        newLine();
    }
    m_out += bracket;
    return *this;
}

JsonWriter& JsonWriter::endObject()
{
    return close('}');
}

JsonWriter& JsonWriter::beginArray()
{
    beforeValue();
    m_out += '[';
    m_counts.push_back(0);
    return *this;
}

JsonWriter& JsonWriter::endArray()
{
    return close(']');
}

JsonWriter& JsonWriter::key(const char* name)
{
    beforeValue();
    m_out += '"';
    appendEscaped(m_out, name, std::strlen(name));
    m_out += m_layout == Layout::Indented ? "\": " : "\":";
    m_afterKey = true;
    return *this;
}

JsonWriter& JsonWriter::string(const std::string& utf8)
{
    beforeValue();
    m_out += '"';
    appendEscaped(m_out, utf8.data(), utf8.size());
    m_out += '"';
    return *this;
}

JsonWriter& JsonWriter::string(const char* utf8)
{
    return string(std::string(utf8));
}

JsonWriter& JsonWriter::string(const QString& text)
{
    return string(text.toStdString());
}

JsonWriter& JsonWriter::number(int64_t value)
{
    beforeValue();
    m_out += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value)
{
    beforeValue();
    m_out += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null()
{
    beforeValue();
    m_out += "null";
    return *this;
}
