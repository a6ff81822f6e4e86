// Arbitrary bytes as the DoroLink server's stream, in two reads: cut into messages, each read as
// key=value words and as a radio list.
#include "dorolink/WanLineBuffer.h"
#include "dorolink/WanMessagePairs.h"
#include "dorolink/WanRadioList.h"
#include "platform/core/Log.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        vm::setLogSink([](std::string_view) {});
        return true;
    }();
    (void)quiet;
    if (size == 0) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = data[0] % (bytes.size() + 1);
    vm::WanLineBuffer buffer;
    std::size_t seen = 0;
    for (const std::string_view read : {bytes.substr(0, cut), bytes.substr(cut)}) {
        for (const std::string& message : buffer.append(read).messages) {
            // A message is whole: no line end inside, never empty, never more than came.
            if (message.empty() || message.find_first_of("\r\n") != std::string::npos) {
                std::abort();
            }
            seen += message.size();
            (void)vm::wan::messagePairs(message, true);
            for (const auto& radio : vm::wan::radioListRecords(message)) {
                if (radio->name && radio->name->size() > message.size()) {
                    std::abort();
                }
            }
        }
    }
    if (seen + buffer.pendingLength() > bytes.size()) {
        std::abort();
    }
    return 0;
}
