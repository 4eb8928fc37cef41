// A discovered participant, data writer or data reader announced again under the same handle
// with different data: which entity, and the DDS names of the policies that differ.
#pragma once

#include "ZorvanTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ZORVAN {

enum class RecordKind : uint8_t
{
    Participant = 0,
    Publication = 1,  // a data writer
    Subscription = 2, // a data reader
};

struct RecordChange
{
    RecordKind kind = RecordKind::Participant;
    InstanceHandle_t handle;
    // The DDS names of the changed policies in the order of the record ("user_data",
    // "ownership_strength", "partition", ...; "property" for a participant's properties, and
    // "topic_name", "type_name" or "participant_key" should a peer announce those anew).
    std::vector<std::string> policies;
};

typedef std::vector<RecordChange> RecordChangeSeq;

} // namespace ZORVAN
