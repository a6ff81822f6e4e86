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

std::string replyLine(uint32_t seq, std::string_view code,
                      std::string_view data);                            // R<seq>|code|data
std::string statusLine(std::string_view handle, std::string_view text);  // S<handle>|text
std::string messageLine(std::string_view code, std::string_view text);   // M<code>|text

// Status texts of the radio's objects, to send with SimRadio::sendStatus().
std::string sliceStatus(int slice, std::string_view pairs);  // "slice <n> <pairs>"
// "<type> <id> <pairs>": the status of the radio's other objects ("tnf 3 freq=14.1",
// "client 0x1A2B3C4D connected station=Shack").
std::string objectStatus(std::string_view type, std::string_view id, std::string_view pairs);

// A meter as the radio defines it; the values are written as given.
struct MeterDefinition {
    int number = 0;
    std::string source = "SLC";  // "COD-", "TX-", "SLC", "RAD", "AMP"
    int sliceNum = 0;
    std::string name{};  // the short name
    std::string low = "-150.0";
    std::string high = "20.0";
    std::string description{};
    std::string unit = "dBm";
    int fps = 10;
};
// "meter <n>.src=SLC#<n>.num=0#<n>.nam=LEVEL#...#", every record closed by "#".
std::string meterStatus(const MeterDefinition& meter);
std::string meterRemovedStatus(int number);  // "meter <n> removed"

// "display pan <id> <pairs>" and "display waterfall <id> <pairs>", the id written "0x%08X".
std::string panStatus(uint32_t streamId, std::string_view pairs);
std::string waterfallStatus(uint32_t streamId, std::string_view pairs);
// "display <kind> <id> removed", kind "pan" or "waterfall".
std::string displayRemovedStatus(std::string_view kind, uint32_t streamId);
// "0x%08X".
std::string streamIdText(uint32_t streamId);

}  // namespace vm::sim
