// Builds the Cyclone QoS a participant of the layer is created with: the caller's user data
// and properties, followed by what this process announces about itself.
#pragma once

#include "CycloneMemory.h"
#include "ZorvanQos.h"

#include <vector>

namespace ZORVAN {

class ParticipantQosBuilder
{
public:
    // The caller's properties come first, in their order and with their propagate flag. An
    // announced property whose name the caller has set is left out, so the caller's value is
    // the one the network sees. Throws std::length_error when user data and propagated
    // properties together exceed kMaxAnnouncedBytes, and std::bad_alloc.
    static CycloneQosPtr build(const DomainParticipantQos& qos,
                               const std::vector<Property_t>& announced);

    // Bytes the properties take in the participant's announcement, the way Cyclone writes
    // them: a count, each propagated name and value as a padded string, and the (empty)
    // binary property count.
    static size_t propertyWireSize(const std::vector<Property_t>& properties);

    // Cyclone 0.10 sends a participant's announcement in one UDP datagram and gives each
    // policy a 16-bit length: past 64 KiB in one policy dds_create_participant crashes, and
    // an announcement larger than a datagram is never seen by anybody. This leaves room for
    // the rest of the announcement (locators, GUIDs, lease) within the 65507 bytes of UDP.
    static constexpr size_t kMaxAnnouncedBytes = 64000;

    // Adds the property after those already there, even under a name already present.
    // Cyclone's own setters cannot do that: dds_qset_prop overwrites and keeps the property
    // off the wire, ddsi_xqos_add_property_if_unset refuses a name it has.
    static void appendProperty(dds_qos_t* qos, const Property_t& property);
};

} // namespace ZORVAN
