// Stream ids as dictionary keys: "0x" and eight upper-case hexadecimal digits.
#include "platform/core/CharacterSet.h"
#include "platform/core/Scanner.h"
#include "radio/Radio.h"

#include <fmt/format.h>

namespace vm {

// Leading "#" characters are skipped and a "0x" prefix accepted; reading stops at the first
// character that is not a hexadecimal digit; no digits give 0, more than 32 bits 0xFFFFFFFF.
std::uint32_t Radio::intFromHexString(std::string_view text) {
    Scanner scan{std::string(text)};
    scan.setCharactersToBeSkipped(CharacterSet::fromString("#"));
    unsigned value = 0;
    return scan.scanHexInt(&value) ? value : 0;
}

std::string Radio::hexStringFormatFromInt(std::uint32_t value) {
    return fmt::format("0x{:08X}", value);
}

std::string Radio::reformatStreamId(std::string_view text) {
    return hexStringFormatFromInt(intFromHexString(text));
}

}  // namespace vm
