#include "util/CharacterClass.h"

#include "util/Utf16.h"

#include <unicode/uchar.h>

#include <string>

namespace vm::strings::chars {

namespace {
bool inCategories(char16_t c, uint32_t mask) { return (U_GET_GC_MASK(c) & mask) != 0; }
}  // namespace

CharacterClass whitespace() {
    return [](char16_t c) { return c == u'\t' || inCategories(c, U_GC_ZS_MASK); };
}

CharacterClass newline() {
    return [](char16_t c) {
        return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
    };
}

CharacterClass whitespaceAndNewline() { return either(whitespace(), newline()); }

CharacterClass alphanumerics() {
    return [](char16_t c) { return inCategories(c, U_GC_L_MASK | U_GC_M_MASK | U_GC_N_MASK); };
}

CharacterClass letters() {
    return [](char16_t c) { return inCategories(c, U_GC_L_MASK | U_GC_M_MASK); };
}

CharacterClass decimalDigits() {
    return [](char16_t c) { return inCategories(c, U_GC_ND_MASK); };
}

CharacterClass controls() {
    return [](char16_t c) { return inCategories(c, U_GC_CC_MASK | U_GC_CF_MASK); };
}

CharacterClass anyOf(std::u16string_view characters) {
    return [set = std::u16string(characters)](char16_t c) {
        return set.find(c) != std::u16string::npos;
    };
}

CharacterClass anyOf(std::string_view utf8Characters) {
    return anyOf(utf16::fromUtf8(utf8Characters));
}

CharacterClass inverted(CharacterClass c) {
    return [c = std::move(c)](char16_t u) { return !c(u); };
}

CharacterClass either(CharacterClass a, CharacterClass b) {
    return [a = std::move(a), b = std::move(b)](char16_t u) { return a(u) || b(u); };
}

}  // namespace vm::strings::chars
