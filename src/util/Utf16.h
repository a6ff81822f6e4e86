#pragma once
// Texts are UTF-8 std::string; where lengths, indexes and ranges count UTF-16 code units (as the
// radio's text rules do), the text is converted and counted that way.
#include <cstddef>
#include <string>
#include <string_view>

namespace vm::utf16 {

// Invalid UTF-8 becomes U+FFFD.
std::u16string fromUtf8(std::string_view text);
// A lone surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);
// The length of a UTF-8 text in UTF-16 code units.
std::size_t length(std::string_view text);
bool isValidUtf8(std::string_view bytes);

}  // namespace vm::utf16
