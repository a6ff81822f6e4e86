#pragma once
// The bounds a property list read from outside (a preferences file, a keyed archive) must keep
// before it reaches libplist's reader, which trusts what it reads: a binary list is walked object
// by object, an XML list parsed once by expat. Refused: files larger than kMaxBytes, nesting deeper
// than kMaxDepth, more than kMaxValues values once shared references are expanded (each use of a
// shared part counts), strings holding a NUL character, invalid UTF-16 or (XML) invalid UTF-8, and
// whatever does not follow the format.
#include <cstddef>
#include <optional>
#include <string>

namespace vm::plist {

inline constexpr std::size_t kMaxBytes = 16 * 1024 * 1024;
inline constexpr int kMaxDepth = 256;
inline constexpr std::size_t kMaxValues = 1 << 20;

// Why the bytes may not be read, in a few words; nullopt when they may.
std::optional<std::string> whyRefused(const std::string& bytes);

// The two formats' own checks, for bytes already known to be of that format.
std::optional<std::string> whyBinaryRefused(const std::string& bytes);
std::optional<std::string> whyXmlRefused(const std::string& bytes);

}  // namespace vm::plist
