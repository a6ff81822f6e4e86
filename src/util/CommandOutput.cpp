#include "util/CommandOutput.h"

#include "util/Utf16.h"

#include <fmt/format.h>

namespace vm {

std::optional<std::string> commandOutputText(const ProcessResult& result,
                                             const std::string& commandText) {
    if (result.timedOut) {
        return fmt::format("runAsCommand timed out after {:f} seconds. [{}]",
                           result.elapsed.count(), commandText);
    }
    if (!utf16::isValidUtf8(result.output)) {
        return std::nullopt;
    }
    return result.output;
}

}  // namespace vm
