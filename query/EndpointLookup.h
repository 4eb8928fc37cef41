// Finding one discovered data writer, data reader or participant by its handle among
// everything the monitor's participants have discovered, live from the middleware. Each call
// takes MonitorLib::mutex for its whole search: never call one while holding it.
#pragma once

#include "BuiltinTopicData.h"
#include "EndpointInfo.h"
#include "MatchType.h"

#include <cstdint>
#include <memory>

class MonitorLib;

// Fills `info` for the endpoint of side `type` with this handle, searching every watched
// domain and keeping the last match; `domainId` is only copied into `info`. Leaves `info`
// untouched when no such endpoint is found, and for a match whose participant's record cannot
// be fetched. Prints the line of each failed query.
void findEndpointInfo(MonitorLib& monitor, uint32_t domainId,
                      const ZORVAN::InstanceHandle_t& handle, const MatchType& type,
                      EndpointInfo& info);

// The complete record of the writer (reader) with this handle, from the first watched domain
// that lists it; none when no domain lists it, or when its record cannot be fetched (the
// fetch's line is printed then). A failed listing counts as an empty list and prints nothing.
std::unique_ptr<ZORVAN::PublicationBuiltinTopicData>
findPublicationData(MonitorLib& monitor, const ZORVAN::InstanceHandle_t& handle);
std::unique_ptr<ZORVAN::SubscriptionBuiltinTopicData>
findSubscriptionData(MonitorLib& monitor, const ZORVAN::InstanceHandle_t& handle);

// The record of the monitor's own participant in the first watched domain, when `handle` is
// that participant's handle; none otherwise, and when the record cannot be fetched (its line
// is printed then).
std::unique_ptr<ZORVAN::ParticipantBuiltinTopicData>
findOwnParticipantData(MonitorLib& monitor, const ZORVAN::InstanceHandle_t& handle);
