#pragma once
// The text lines of the command session, as the simulated radio reads and writes them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vm::sim {

struct CommandLine {
    std::optional<uint32_t> seq;  // none when the line is not "c<decimal>|..."
    std::string text;             // the command; the whole line when it does not parse
};

// Reads "c<seq>|<command>" (the line feed already removed).
CommandLine parseCommandLine(std::string_view line);

std::string replyLine(uint32_t seq, std::string_view code, std::string_view data);  // R<seq>|code|data
std::string statusLine(std::string_view handle, std::string_view text);             // S<handle>|text
std::string messageLine(std::string_view code, std::string_view text);              // M<code>|text

}  // namespace vm::sim
