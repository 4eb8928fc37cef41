#include "PrintableText.h"

#include <cstdint>

namespace PrintableText {

size_t utf8SequenceLength(const unsigned char* p, size_t left)
{
    const unsigned char c = p[0];
    size_t length;
    uint32_t lowest;
    uint32_t cp;
    if (c < 0x80) {
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        length = 2;
        lowest = 0x80;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        lowest = 0x800;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        lowest = 0x10000;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (left < length) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return length;
}

std::string forTerminal(const std::string& text)
{
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
    const unsigned char* end = p + text.size();
    while (p < end) {
        const size_t length = utf8SequenceLength(p, size_t(end - p));
        uint32_t control = 0x100; // none
        if (length == 1 && (*p < 0x20 || *p == 0x7F)) {
            control = *p;
        } else if (length == 2 && p[0] == 0xC2 && p[1] < 0xA0) {
            control = p[1]; // U+0080..U+009F
        }
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++p;
        } else if (control < 0x100) {
            out += "\\x";
            out += hex[control >> 4];
            out += hex[control & 0xF];
            p += length;
        } else {
            out.append(reinterpret_cast<const char*>(p), length);
            p += length;
        }
    }
    return out;
}

} // namespace PrintableText
