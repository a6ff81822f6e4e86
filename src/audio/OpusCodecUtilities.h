#pragma once
// Opus error codes as error values and texts.
#include "platform/core/Error.h"

#include <optional>
#include <string>

namespace vm {

class OpusCodecUtilities {
public:
    static constexpr const char* kErrorDomain = "org.opus-codec.opus";
    // An error of kErrorDomain with the code and its text (empty for an unknown code), and
    // `details`, when given, as its failure reason.
    static Error errorForOpusErrorCode(int code, std::string details = {});
    static std::optional<std::string> stringForOpusErrorCode(int code);
};

}  // namespace vm
