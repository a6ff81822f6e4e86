#pragma once
// The simulated radio's discovery announcements: the VITA-49 packet of class 0xFFFF whose payload
// is blank-separated key=value text, and the older fixed-layout datagram.
#include "support/sim/SimIdentity.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vm::sim {

// Keys and values in the order they are announced; a key may stand twice.
using DiscoveryFields = std::vector<std::pair<std::string, std::string>>;

// The fields a radio announces about itself, reachable at ip:port.
DiscoveryFields discoveryFields(const RadioIdentity& id, const std::string& ip, uint16_t port);

// Replaces the value of the first field with this key, or appends the field.
void setField(DiscoveryFields& fields, const std::string& key, const std::string& value);

// "key=value key=value ...", no terminator and no padding.
std::string discoveryPayload(const DiscoveryFields& fields);

// A type-3 VITA-49 packet of class 0xFFFF carrying the payload.
std::string discoveryPacket(const DiscoveryFields& fields, uint8_t packetCount = 0);

// The older layout: marker 0x8013 (little-endian) at byte 4, model at 16, serial number at 52 and
// name at 88, each NUL-terminated; a model or serial number too long for its 36-byte slot is cut
// so that its NUL stays inside the slot.
std::string legacyDiscoveryPacket(const std::string& model, const std::string& serial,
                                  const std::string& name);

}  // namespace vm::sim
