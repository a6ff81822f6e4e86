// Arbitrary bytes as discovery datagrams: the legacy fixed layout and the VITA-49 key=value
// announcement into radio records.
#include "platform/core/Log.h"
#include "radio/RadioDiscovery.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        vm::setLogSink([](std::string_view) {});
        return true;
    }();
    (void)quiet;
    const vm::Bytes bytes(reinterpret_cast<const char*>(data), size);
    const auto record = vm::discovery::recordFromDatagram(bytes, "127.0.0.1");
    // Texts come from inside the datagram only.
    if (record && record->serialNum && record->serialNum->size() > size) {
        std::abort();
    }
    return 0;
}
