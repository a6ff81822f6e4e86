#pragma once
// Texts of the connection's log lines: the name of each connection state and the time a session
// has lasted.
#include <chrono>
#include <cstdint>
#include <string>

namespace vm {

// "disconnected" ... "disconnected by remote peer" for states 0 to 9, "unknown" for others.
std::string connectionStateText(std::uint32_t state);
// "%d days, %02d:%02d:%02d", with "day" for exactly one day; negative durations count as 0.
std::string elapsedTimeString(std::chrono::seconds elapsed);

}  // namespace vm
