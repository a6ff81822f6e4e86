// Arbitrary bytes from the tuning knob's serial line: the first byte sets the size of the reads
// the line is cut into (1 to 256 bytes), and every read goes through the knob's receive buffer.
// Every event must be one the protocol has, and the buffer must never hold a whole buffer's worth.
#include "app/control/KnobProtocol.h"
#include "platform/core/Log.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

bool validEvent(const vm::knob::KnobEvent& event) {
    using Kind = vm::knob::KnobEvent::Kind;
    switch (event.kind) {
        case Kind::rotation: {
            const int steps = std::abs(event.value);
            return steps == 1 || steps == 5 || steps == 25 || steps == 50 || steps == 100;
        }
        case Kind::press: return event.value == 0;
        case Kind::auxButton: return event.value >= 1 && event.value <= 3;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        vm::setLogSink([](std::string_view) {});
        return true;
    }();
    (void)quiet;
    if (size == 0) {
        return 0;
    }
    const std::size_t readSize = std::size_t(data[0]) + 1;
    std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    vm::knob::answersAsKnob(bytes.substr(0, 128));
    vm::knob::KnobReader reader;
    while (!bytes.empty()) {
        const std::string_view read = bytes.substr(0, readSize);
        bytes.remove_prefix(read.size());
        for (const auto& event : reader.receive(read)) {
            if (!validEvent(event)) {
                std::abort();
            }
        }
        if (reader.pending() >= vm::knob::KnobReader::kBufferSize) {
            std::abort();
        }
    }
    return 0;
}
