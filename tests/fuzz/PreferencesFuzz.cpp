// Arbitrary bytes as a preferences file: the checks before libplist, the reading entry by entry
// that the defaults do at start, and our writer. Whatever reads must write back into bytes that
// read again as the same values, so a saved file is never one the next start refuses.
#include "platform/core/Log.h"
#include "platform/core/PlistValue.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        vm::setLogSink([](std::string_view) {});
        return true;
    }();
    (void)quiet;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> unreadable;
    const auto values = vm::plist::parseDictionary(bytes, &unreadable);
    if (!values) {
        return 0;
    }
    // Compared as written (a NaN is not equal to itself, its bytes are).
    const std::string written = vm::plist::toBinary(*values);
    std::vector<std::string> again;
    const auto reread = vm::plist::parseDictionary(written, &again);
    if (!reread || !again.empty() || vm::plist::toBinary(*reread) != written) {
        std::abort();
    }
    return 0;
}
