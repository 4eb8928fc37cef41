// Display texts of QoS values, shared by the QoS panel and the match analysis. Every kind is
// passed as the unsigned 8-bit value the builtin-topic records hold; a value outside its
// enumeration gives the empty text.
#pragma once

#include "ZorvanQos.h"

#include <QString>
#include <cstdint>

QString durabilityKindText(uint8_t kind);
QString presentationScopeText(uint8_t scope);
QString ownershipKindText(uint8_t kind);
QString livelinessKindText(uint8_t kind);
// Counts from 1 as the middleware stores it: 0 is no kind.
QString reliabilityKindText(uint8_t kind);
QString destinationOrderKindText(uint8_t kind);
QString historyKindText(uint8_t kind);
// "{sec,nanosec}" as raw numbers; an infinite duration is not special.
QString durationText(const ZORVAN::Duration_t& duration);
// One character per octet (read as Latin-1), "empty" for no octets.
QString octetsText(const ZORVAN::OctetSeq& octets);
QString boolText(bool value);
