#include "radio/TextValues.h"

#include "platform/core/CharacterSet.h"
#include "platform/core/Scanner.h"

#include <string>

namespace vm::textvalues {

int intValue(std::string_view text) {
    Scanner scan{std::string(text)};
    scan.setCharactersToBeSkipped(CharacterSet::whitespaceAndNewline());
    int value = 0;
    return scan.scanInt(&value) ? value : 0;
}

bool boolValue(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return false;
    }
    const char c = text[start];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

}  // namespace vm::textvalues
