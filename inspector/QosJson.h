// Every QoS policy of a data writer or data reader as typed JSON members: the values the QoS
// panel shows, with kinds as their DDS enumerator names, durations as their two numbers,
// partitions as an array and octet data in base64. Policies and fields carry their DDS names.
#pragma once

#include "BuiltinTopicData.h"

class JsonWriter;

namespace QosJson {

// Writes the object of every policy (the value of a "qos" member).
void write(JsonWriter& json, const ZORVAN::PublicationBuiltinTopicData& writer);
void write(JsonWriter& json, const ZORVAN::SubscriptionBuiltinTopicData& reader);

// Base64 of the octets, as every octet field of the documents is written.
std::string base64(const ZORVAN::OctetSeq& octets);

} // namespace QosJson
