#pragma once
// What a radio's discovery datagram announces. Two layouts: a VITA-49 packet of class 0xFFFF
// whose payload is blank-separated key=value text, and the older fixed layout marked by 0x8013
// (little-endian) at byte 4. Every length and offset is checked against the datagram.
#include "platform/core/Bytes.h"
#include "radio/RadioInstance.h"
#include "radio/TokenTable.h"

#include <optional>
#include <string>

namespace vm::discovery {

inline constexpr std::uint16_t kDiscoveryClassCode = 0xFFFF;
inline constexpr std::uint16_t kLegacyMarker = 0x8013;
inline constexpr int kLegacyPort = 4992;

// The discovery keys and their token numbers, 1 to 27.
const TokenTable& parserTokens();

// The record announced by the datagram, stamped as seen now; nothing for a datagram that is no
// announcement. A legacy record takes the sender's address; a VITA one its "ip" key only.
std::optional<RadioInstance> recordFromDatagram(const Bytes& datagram,
                                                const std::string& senderHost);

// One key=value pair of a VITA announcement applied to the record being built (an unknown key
// is logged and changes nothing).
void applyField(RadioInstance& record, const std::string& key, const std::string& value);

}  // namespace vm::discovery
