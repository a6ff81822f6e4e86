#include "support/sim/SimLines.h"

#include <charconv>

namespace vm::sim {

CommandLine parseCommandLine(std::string_view line) {
    const size_t bar = line.find('|');
    if (line.size() < 3 || line[0] != 'c' || bar == std::string_view::npos || bar == 1) {
        return {std::nullopt, std::string(line)};
    }
    uint32_t seq = 0;
    const char* first = line.data() + 1;
    const char* last = line.data() + bar;
    const auto [end, ec] = std::from_chars(first, last, seq);
    if (ec != std::errc() || end != last) {
        return {std::nullopt, std::string(line)};
    }
    return {seq, std::string(line.substr(bar + 1))};
}

std::string replyLine(uint32_t seq, std::string_view code, std::string_view data) {
    return "R" + std::to_string(seq) + "|" + std::string(code) + "|" + std::string(data);
}

std::string statusLine(std::string_view handle, std::string_view text) {
    return "S" + std::string(handle) + "|" + std::string(text);
}

std::string messageLine(std::string_view code, std::string_view text) {
    return "M" + std::string(code) + "|" + std::string(text);
}

}  // namespace vm::sim
