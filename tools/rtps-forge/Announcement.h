// Serialized discovery data: the SPDP participant record and the SEDP endpoint records, each a
// PL_CDR_LE parameter list ready to go into a DATA submessage, plus the inline QoS that go
// with them.
#pragma once

#include "ParticipantPlan.h"

#include <cstdint>
#include <string>

struct AnnouncementContext
{
    uint32_t domain = 0;
    uint32_t locatorPort = 0; // where this tool receives; every locator points there
    int32_t leaseSeconds = 10;
    ParameterList::LongValue longValue = ParameterList::LongValue::Refuse;
};

namespace Announcement {

// Bits of the builtin endpoint set: the SPDP writer and reader, and the two SEDP writers. No
// SEDP readers are announced, so the peers never send their own endpoints here.
const uint32_t builtinEndpoints = 0x01 | 0x02 | 0x04 | 0x10;

std::string participant(const ParticipantPlan& plan, const AnnouncementContext& context);
std::string endpoint(const GuidPrefix& participant, const EndpointPlan& plan,
                     const AnnouncementContext& context);

// Inline QoS naming the instance (key hash), optionally with a status of disposed and
// unregistered.
std::string inlineQos(const Guid& key, bool disposed);
// Payload of a dispose: the key field alone.
std::string keyOnly(uint16_t pid, const Guid& key);

} // namespace Announcement
