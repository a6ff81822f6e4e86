#include "audio/OpusCodecUtilities.h"

namespace vm {

Error OpusCodecUtilities::errorForOpusErrorCode(int code, std::string details) {
    return Error{kErrorDomain, code, stringForOpusErrorCode(code).value_or(""), std::move(details)};
}

std::optional<std::string> OpusCodecUtilities::stringForOpusErrorCode(int code) {
    switch (code) {
        case -1: return "One or more invalid/out of range arguments";
        case -2: return "The mode struct passed is invalid";
        case -3: return "The compressed data passed is corrupted";
        case -4: return "Invalid/unsupported request number";
        case -5: return "Invalid/unsupported request number.";
        case -6: return "An encoder or decoder structure is invalid or already freed.";
        case -7: return "Memory allocation has failed.";
        default: return std::nullopt;
    }
}

}  // namespace vm
