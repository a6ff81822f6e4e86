#pragma once
// What a finished command gives back as text: its output when that is UTF-8 (nullopt otherwise),
// or, after a time-out, "runAsCommand timed out after <elapsed> seconds. [<command>]".
#include "platform/core/Process.h"

#include <optional>
#include <string>

namespace vm {

std::optional<std::string> commandOutputText(const ProcessResult& result,
                                             const std::string& commandText);

}  // namespace vm
