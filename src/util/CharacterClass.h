#pragma once
// Classes of UTF-16 code units for the text rules: a character here is one code unit, so the two
// halves of a surrogate pair belong to no class but the ones that list them.
#include <functional>
#include <string_view>

namespace vm::strings {

using CharacterClass = std::function<bool(char16_t)>;

namespace chars {
CharacterClass whitespace();  // tab and the Unicode space separators (Zs)
CharacterClass newline();     // LF, VT, FF, CR, NEL, LINE and PARAGRAPH SEPARATOR
CharacterClass whitespaceAndNewline();
CharacterClass alphanumerics();  // Unicode letters, marks and digits (L*, M*, N*)
CharacterClass letters();        // Unicode letters and marks (L*, M*)
CharacterClass decimalDigits();  // Nd
CharacterClass controls();       // Cc and Cf
CharacterClass anyOf(std::u16string_view characters);
CharacterClass anyOf(std::string_view utf8Characters);
CharacterClass inverted(CharacterClass c);
CharacterClass either(CharacterClass a, CharacterClass b);
}  // namespace chars

}  // namespace vm::strings
