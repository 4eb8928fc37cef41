#include "Guid.h"

#include <cstdio>

std::string prefixText(const GuidPrefix& prefix)
{
    std::string text;
    char digits[3];
    for (size_t i = 0; i < prefix.size(); ++i) {
        std::snprintf(digits, sizeof(digits), "%02x", prefix[i]);
        text += digits;
        if (i % 4 == 3 && i + 1 < prefix.size()) {
            text.push_back(':');
        }
    }
    return text;
}

std::string guidText(const Guid& guid)
{
    std::string text;
    char digits[3];
    for (char byte : guid.bytes()) {
        std::snprintf(digits, sizeof(digits), "%02x", uint8_t(byte));
        text += digits;
    }
    return text;
}
