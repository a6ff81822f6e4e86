#pragma once
// Diagnostics of the display streams: the head of a packet's payload in the debug log.
#include "radio/VITA.h"

#include <cstddef>

namespace vm {

// Logs a line of dashes, then three lines "<name>: v<fversion> message: [...]": the column
// numbers, the first `count` payload bytes in hexadecimal, and the same bytes with each pair
// swapped (what the stream's 16-bit values read as in host order).
void dumpPayloadHead(const char* name, const VITA& packet, std::size_t count);

}  // namespace vm
