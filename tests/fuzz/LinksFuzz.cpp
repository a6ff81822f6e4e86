// Arbitrary text as a link of the program's scheme, handed over by another program: the query
// decoding, the tune link's frequency and mode, and the log lines they go into. However the text
// is escaped, each log call stays one line.
#include "platform/core/Log.h"
#include "util/URLParameters.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {
std::size_t gLines = 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool counting = [] {
        vm::setLogSink([](std::string_view line) {
            if (line.find_first_of("\n\r") != std::string_view::npos) {
                std::abort();
            }
            ++gLines;
        });
        return true;
    }();
    (void)counting;
    const std::string url(reinterpret_cast<const char*>(data), size);
    vm::url::parameters(url);
    gLines = 0;
    vm::log("handleURLEvent:url:[{}]", url);
    if (const auto link = vm::url::tuneLink(url)) {
        if (link->freq.empty() || link->mode.empty()) {
            std::abort();
        }
        vm::log("handleURLEvent:url:[{}] queue frequency {} and mode {}", url, link->freq,
                link->mode);
    }
    if (gLines != (vm::url::tuneLink(url) ? 2u : 1u)) {
        std::abort();
    }
    return 0;
}
