#include "display/PayloadDump.h"

#include "platform/core/Log.h"

#include <algorithm>
#include <string>

namespace vm {

void dumpPayloadHead(const char* name, const VITA& packet, std::size_t count) {
    const std::size_t shown =
        packet.payload ? std::min<std::size_t>(packet.payloadLength, count) : 0;
    const auto byteAt = [&](std::size_t i) {
        return i < shown ? static_cast<unsigned>(static_cast<unsigned char>(packet.payload[i]))
                         : 0u;
    };
    std::string columns;
    std::string bytes;
    std::string swapped;
    for (std::size_t i = 0; i < shown; ++i) {
        columns += fmt::format("{:02d} ", i);
        bytes += fmt::format("{:02X} ", byteAt(i));
        swapped += fmt::format("{:02X} ", byteAt(i ^ 1));
    }
    log("---------------------------------------------");
    for (const std::string* row : {&columns, &bytes, &swapped}) {
        log("{}: v{:g} message: [{}]", name, packet.fversion, *row);
    }
}

}  // namespace vm
