#pragma once
// Property-list files that a reader must refuse without harm, built byte by byte (no writer of
// ours would make them), and the binary-format pieces to build more.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace vm::test {

// A case built when it runs, not when the cases are listed: some are megabytes, and a test
// program lists its cases before every run.
struct HostilePlist {
    std::string name;
    std::string (*make)();
    std::string bytes() const { return make(); }
};
// A case shows as its name.
inline void PrintTo(const HostilePlist& plist, std::ostream* out) { *out << plist.name; }

// A dictionary whose string holds a NUL character, one whose key does, XML nested 40,000 levels
// deep, binary nested 100,000 levels deep, a file of shared references that expands beyond any
// bound, and a dictionary of 1,000,000 keys.
std::vector<HostilePlist> hostilePlists();

// A binary property list of the objects given (already encoded) with 4-byte references and
// offsets, `top` its root.
std::string binaryPlistOf(const std::vector<std::string>& objects, std::uint32_t top);
// Encoded objects for binaryPlistOf.
std::string asciiObject(const std::string& text);
std::string integerObject(std::uint8_t value);
std::string arrayObject(const std::vector<std::uint32_t>& refs);
std::string dictObject(const std::vector<std::uint32_t>& keys,
                       const std::vector<std::uint32_t>& values);

}  // namespace vm::test
