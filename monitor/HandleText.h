// Conversions between instance handles, 16-byte keys and their display text.
#pragma once

#include "ZorvanTypes.h"

#include <QString>
#include <string>

namespace HandleText {

// The 16 value bytes of a handle as a byte string.
std::string keyOf(const ZORVAN::InstanceHandle_t& handle);
std::string keyOf(const ZORVAN::BuiltinTopicKey_t& key);

// A handle rebuilt from a 16-byte key: value = the bytes, length 16, isValid 1.
// Shorter keys are padded with zero bytes, longer ones cut.
ZORVAN::InstanceHandle_t handleFromKey(const std::string& key);
ZORVAN::InstanceHandle_t handleFromKey(const ZORVAN::BuiltinTopicKey_t& key);

// "0x" and two lowercase hexadecimal digits per key byte: 34 characters for 16 bytes.
QString text(const std::string& key);

} // namespace HandleText
