#pragma once
// Operations on UTF-16 code units shared by the text helpers of this folder.
#include "util/CharacterClass.h"
#include "util/StringAdditions.h"

#include <string>
#include <vector>

namespace vm::strings::units {

// The first occurrence of `needle` at or behind `from`, or npos; an empty needle is never found.
// Case is compared by simple case folding of each code unit.
std::size_t find(const std::u16string& hay, const std::u16string& needle, std::size_t from,
                 bool ignoringCase);
bool equal(const std::u16string& a, const std::u16string& b, bool ignoringCase);
std::u16string trim(const std::u16string& s, const CharacterClass& set);
std::u16string replaceAll(const std::u16string& s, const std::u16string& target,
                          const std::u16string& replacement);
std::u16string removeAll(const std::u16string& s, const CharacterClass& set);
std::u16string upper(const std::u16string& s);
std::u16string lower(const std::u16string& s);
// The end of the line that starts at `start`, its terminator included.
std::size_t lineEnd(const std::u16string& s, std::size_t start);

// The same over UTF-8 texts.
std::string trim(const std::string& s, const CharacterClass& set);
std::string replaceAll(const std::string& s, const std::string& target,
                       const std::string& replacement);
std::string upper(const std::string& s);
// The pieces between the separators, empty ones included (one piece for a text without any).
std::vector<std::string> split(const std::string& s, char separator);

}  // namespace vm::strings::units
