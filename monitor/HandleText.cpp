#include "HandleText.h"

namespace HandleText {

std::string keyOf(const ZORVAN::InstanceHandle_t& handle)
{
    return std::string(reinterpret_cast<const char*>(handle.value), sizeof(handle.value));
}

std::string keyOf(const ZORVAN::BuiltinTopicKey_t& key)
{
    return std::string(reinterpret_cast<const char*>(key.value), sizeof(key.value));
}

ZORVAN::InstanceHandle_t handleFromKey(const std::string& key)
{
    ZORVAN::InstanceHandle_t handle;
    const size_t n = key.size() < sizeof(handle.value) ? key.size() : sizeof(handle.value);
    std::memcpy(handle.value, key.data(), n);
    handle.length = 16;
    handle.isValid = 1;
    return handle;
}

ZORVAN::InstanceHandle_t handleFromKey(const ZORVAN::BuiltinTopicKey_t& key)
{
    return handleFromKey(keyOf(key));
}

QString text(const std::string& key)
{
    static const char digits[] = "0123456789abcdef";
    QString out;
    out.reserve(2 + 2 * int(key.size()));
    out += QLatin1String("0x");
    for (unsigned char c : key) {
        out += QLatin1Char(digits[c >> 4]);
        out += QLatin1Char(digits[c & 0xf]);
    }
    return out;
}

} // namespace HandleText
