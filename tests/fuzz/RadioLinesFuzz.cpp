// Arbitrary bytes as lines received from a radio: each line, as the session's read hands it over
// (up to and including its line feed), goes through the line decoding and parseRadioStream(), and
// on into whatever status parsers exist.
#include "objects/RadioObjects.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto radio = [] {
        vm::setLogSink([](std::string_view) {});
        auto r = vm::Radio::createDetached(nullptr, {}, "fuzz", 2, vm::attachRadioObjects);
        r->parseRadioStream("H2DE0B1A5");  // lines from this handle are this client's own
        return r;
    }();
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::size_t length = end == std::string_view::npos ? bytes.size() : end + 1;
        radio->parseRadioStream(vm::Radio::lineFromData(bytes.substr(0, length)));
        bytes.remove_prefix(length);
    }
    // The announcements the lines queued for the window side.
    vm::DispatchQueue::drainMain();
    return 0;
}
