#include "support/HostilePlists.h"

#include <cstdio>

namespace vm::test {

namespace {

void putBigEndian(std::string* out, std::uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) {
        out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

std::string marker(unsigned kind, std::size_t count) {
    std::string out;
    if (count < 15) {
        out.push_back(static_cast<char>((kind << 4) | count));
    } else {
        out.push_back(static_cast<char>((kind << 4) | 0xF));
        out.push_back(static_cast<char>(0x12));
        putBigEndian(&out, count, 4);
    }
    return out;
}

std::string refsOf(const std::vector<std::uint32_t>& refs) {
    std::string out;
    for (const std::uint32_t ref : refs)
        putBigEndian(&out, ref, 4);
    return out;
}

std::string nulString() {
    return binaryPlistOf(
        {dictObject({1}, {2}), asciiObject("pan"), asciiObject(std::string("ab\0cd", 5))}, 0);
}

std::string nulKey() {
    return binaryPlistOf(
        {dictObject({1}, {2}), asciiObject(std::string("pan\0x", 5)), integerObject(1)}, 0);
}

std::string deepXml(int levels) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    for (int i = 0; i < levels; ++i)
        text += "<array>";
    for (int i = 0; i < levels; ++i)
        text += "</array>";
    return text + "</plist>\n";
}

std::string deepBinary(std::uint32_t levels) {
    std::vector<std::string> objects;
    objects.reserve(levels + 1);
    for (std::uint32_t i = 0; i < levels; ++i)
        objects.push_back(arrayObject({i + 1}));
    objects.push_back(integerObject(7));
    return binaryPlistOf(objects, 0);
}

// Each array holds its successor 14 times: 30 levels expand to 14^30 values.
std::string referenceBomb() {
    std::vector<std::string> objects;
    for (std::uint32_t i = 0; i < 30; ++i) {
        objects.push_back(arrayObject(std::vector<std::uint32_t>(14, i + 1)));
    }
    objects.push_back(asciiObject("boom"));
    return binaryPlistOf(objects, 0);
}

std::string millionKeys() {
    constexpr std::uint32_t kKeys = 1000000;
    std::vector<std::string> objects;
    objects.reserve(kKeys + 2);
    std::vector<std::uint32_t> keys(kKeys);
    std::vector<std::uint32_t> values(kKeys, 1);
    objects.push_back({});  // the dictionary, filled in below
    objects.push_back(integerObject(1));
    char name[16];
    for (std::uint32_t i = 0; i < kKeys; ++i) {
        std::snprintf(name, sizeof name, "key%07u", i);
        keys[i] = static_cast<std::uint32_t>(objects.size());
        objects.push_back(asciiObject(name));
    }
    objects[0] = dictObject(keys, values);
    return binaryPlistOf(objects, 0);
}

}  // namespace

std::string asciiObject(const std::string& text) { return marker(0x5, text.size()) + text; }

std::string integerObject(std::uint8_t value) {
    return std::string{static_cast<char>(0x10), static_cast<char>(value)};
}

std::string arrayObject(const std::vector<std::uint32_t>& refs) {
    return marker(0xA, refs.size()) + refsOf(refs);
}

std::string dictObject(const std::vector<std::uint32_t>& keys,
                       const std::vector<std::uint32_t>& values) {
    return marker(0xD, keys.size()) + refsOf(keys) + refsOf(values);
}

std::string binaryPlistOf(const std::vector<std::string>& objects, std::uint32_t top) {
    std::string out = "bplist00";
    std::vector<std::uint64_t> offsets;
    offsets.reserve(objects.size());
    for (const auto& object : objects) {
        offsets.push_back(out.size());
        out += object;
    }
    const std::uint64_t tableAt = out.size();
    for (const std::uint64_t offset : offsets)
        putBigEndian(&out, offset, 4);
    out.append(6, '\0');
    out.push_back(4);  // offset size
    out.push_back(4);  // reference size
    putBigEndian(&out, objects.size(), 8);
    putBigEndian(&out, top, 8);
    putBigEndian(&out, tableAt, 8);
    return out;
}

std::vector<HostilePlist> hostilePlists() {
    return {{"NulString", nulString},
            {"NulKey", nulKey},
            {"Xml40000Deep", [] { return deepXml(40000); }},
            {"Binary100000Deep", [] { return deepBinary(100000); }},
            {"SharedReferenceBomb", referenceBomb},
            {"MillionKeys", millionKeys}};
}

}  // namespace vm::test
