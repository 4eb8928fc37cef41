// How the peer tools print entity identities: the 16 GUID bytes as 32 lowercase hex digits,
// which are also the bytes of the entity's builtin-topic key.
#pragma once

#include <dds/dds.h>

#include <string>

namespace peerkit {

// Empty text when the entity has no GUID (an invalid handle).
std::string guidText(dds_entity_t entity);
std::string guidText(const unsigned char (&bytes)[16]);

} // namespace peerkit
