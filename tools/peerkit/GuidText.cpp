#include "GuidText.h"

namespace peerkit {

std::string guidText(dds_entity_t entity)
{
    dds_guid_t guid;
    if (dds_get_guid(entity, &guid) != DDS_RETCODE_OK) {
        return std::string();
    }
    return guidText(guid.v);
}

std::string guidText(const unsigned char (&bytes)[16])
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(32);
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 0x0f];
    }
    return text;
}

} // namespace peerkit
