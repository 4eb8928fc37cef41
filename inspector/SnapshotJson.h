// The snapshot as one JSON document (schema: docs/schema/snapshot.schema.json): per watched
// domain its participants with their system information and properties, its writers and
// readers with every QoS policy, and its topics with their counts; then the problems the
// analysis found.
#pragma once

#include "DocumentHeader.h"
#include "ProblemReport.h"
#include "Snapshot.h"

#include <string>

class JsonWriter;

namespace SnapshotJson {

std::string document(const DocumentHeader& header, const Snapshot& snapshot,
                     const ProblemReport& problems);

// The members every document starts with: "command", "version", "taken_at", "settled".
void writeHeader(JsonWriter& json, const DocumentHeader& header);

// "0x" and 32 lowercase hexadecimal digits.
std::string handleText(const ZORVAN::InstanceHandle_t& handle);
std::string handleText(const ZORVAN::BuiltinTopicKey_t& key);

} // namespace SnapshotJson
