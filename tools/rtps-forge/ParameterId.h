// Parameter ids of the discovery parameter lists (RTPS wire format), the ones this tool writes.
#pragma once

#include <cstdint>

namespace Pid {
const uint16_t pad = 0x0000;
const uint16_t sentinel = 0x0001;
const uint16_t participantLeaseDuration = 0x0002;
const uint16_t topicName = 0x0005;
const uint16_t typeName = 0x0007;
const uint16_t domainId = 0x000f;
const uint16_t protocolVersion = 0x0015;
const uint16_t vendorId = 0x0016;
const uint16_t reliability = 0x001a;
const uint16_t liveliness = 0x001b;
const uint16_t durability = 0x001d;
const uint16_t ownership = 0x001f;
const uint16_t presentation = 0x0021;
const uint16_t deadline = 0x0023;
const uint16_t destinationOrder = 0x0025;
const uint16_t partition = 0x0029;
const uint16_t userData = 0x002c;
const uint16_t unicastLocator = 0x002f;
const uint16_t defaultUnicastLocator = 0x0031;
const uint16_t metatrafficUnicastLocator = 0x0032;
const uint16_t history = 0x0040;
const uint16_t participantGuid = 0x0050;
const uint16_t endpointGuid = 0x005a;
const uint16_t builtinEndpointSet = 0x0058;
const uint16_t propertyList = 0x0059;
const uint16_t keyHash = 0x0070;
const uint16_t statusInfo = 0x0071;
// Header of a parameter longer than the 16-bit length allows (extended parameter list form).
const uint16_t extended = 0x3f01;
} // namespace Pid
