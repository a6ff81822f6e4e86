#include "support/sim/SimLines.h"

#include <cstdio>

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

std::string sliceStatus(int slice, std::string_view pairs) {
    return "slice " + std::to_string(slice) + " " + std::string(pairs);
}

std::string objectStatus(std::string_view type, std::string_view id, std::string_view pairs) {
    return std::string(type) + " " + std::string(id) + " " + std::string(pairs);
}

std::string meterStatus(const MeterDefinition& meter) {
    const std::string n = std::to_string(meter.number);
    std::string text = "meter ";
    const auto record = [&](std::string_view key, const std::string& value) {
        text += n + "." + std::string(key) + "=" + value + "#";
    };
    record("src", meter.source);
    record("num", std::to_string(meter.sliceNum));
    record("nam", meter.name);
    record("low", meter.low);
    record("hi", meter.high);
    record("desc", meter.description);
    record("unit", meter.unit);
    record("fps", std::to_string(meter.fps));
    return text;
}

std::string meterRemovedStatus(int number) {
    return "meter " + std::to_string(number) + " removed";
}

std::string streamIdText(uint32_t streamId) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", streamId);
    return text;
}

std::string panStatus(uint32_t streamId, std::string_view pairs) {
    return "display pan " + streamIdText(streamId) + " " + std::string(pairs);
}

std::string waterfallStatus(uint32_t streamId, std::string_view pairs) {
    return "display waterfall " + streamIdText(streamId) + " " + std::string(pairs);
}

std::string displayRemovedStatus(std::string_view kind, uint32_t streamId) {
    return "display " + std::string(kind) + " " + streamIdText(streamId) + " removed";
}

}  // namespace vm::sim
