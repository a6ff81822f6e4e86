// plist::toBinary: a binary property list ("bplist00") written in one pass over the value, in
// time proportional to its size. Children are written before their collection, so every reference
// is known when the collection is written; the root is the last object. Strings of ASCII
// characters are stored as ASCII, others as UTF-16 (big-endian); a NUL character, which no reader
// of ours takes back, and bytes that are not UTF-8 are written as U+FFFD. Integers are written in
// the fewest of 1, 2, 4 or 8 bytes (negative ones in 8, as the format reads them back signed).
#include "platform/core/PlistValue.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vm::plist {

namespace {

std::size_t bytesFor(std::uint64_t v) {
    if (v <= 0xFF) return 1;
    if (v <= 0xFFFF) return 2;
    if (v <= 0xFFFFFFFFu) return 4;
    return 8;
}

std::size_t objectCount(const PlistValue& value) {
    if (const auto* array = value.get<PlistArray>()) {
        std::size_t n = 1;
        for (const auto& item : *array)
            n += objectCount(item);
        return n;
    }
    if (const auto* dict = value.get<PlistDict>()) {
        std::size_t n = 1 + dict->size();  // the keys
        for (const auto& [key, item] : *dict)
            n += objectCount(item);
        return n;
    }
    return 1;
}

// UTF-16 code units of UTF-8 text; NUL, and a byte that does not begin a valid sequence, stand for
// U+FFFD.
std::vector<std::uint16_t> utf16Of(const std::string& text) {
    std::vector<std::uint16_t> units;
    units.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        std::uint32_t c = p[i];
        std::size_t extra = c >= 0xF0 && c <= 0xF4 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 ? 1 : 0;
        if (c == 0 || (c >= 0x80 && (c < 0xC2 || c > 0xF4))) {
            c = 0xFFFD;
            extra = 0;
        } else if (extra > 0) {
            std::uint32_t cp = c & (0x3F >> extra);
            bool valid = i + extra < n;
            for (std::size_t k = 1; valid && k <= extra; ++k) {
                valid = (p[i + k] & 0xC0) == 0x80;
                cp = (cp << 6) | (p[i + k] & 0x3F);
            }
            const std::uint32_t least = extra == 1 ? 0x80 : extra == 2 ? 0x800 : 0x10000;
            if (!valid || cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
                c = 0xFFFD;
                extra = 0;
            } else {
                c = cp;
            }
        }
        i += extra + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            units.push_back(static_cast<std::uint16_t>(0xD800 + (c >> 10)));
            units.push_back(static_cast<std::uint16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            units.push_back(static_cast<std::uint16_t>(c));
        }
    }
    return units;
}

class BinaryWriter {
public:
    explicit BinaryWriter(const PlistValue& root) : refSize_(bytesFor(objectCount(root) - 1)) {
        out_ = "bplist00";
        const std::uint64_t top = add(root);
        const std::uint64_t tableAt = out_.size();
        const std::size_t offsetSize = bytesFor(offsets_.empty() ? 0 : offsets_.back());
        for (const std::uint64_t offset : offsets_) {
            putBigEndian(offset, offsetSize);
        }
        out_.append(6, '\0');
        out_.push_back(static_cast<char>(offsetSize));
        out_.push_back(static_cast<char>(refSize_));
        putBigEndian(offsets_.size(), 8);
        putBigEndian(top, 8);
        putBigEndian(tableAt, 8);
    }

    std::string take() { return std::move(out_); }

    std::uint64_t add(const PlistValue& value) { return std::visit(*this, value.variant()); }

    std::uint64_t operator()(bool v) {
        const auto index = begin();
        out_.push_back(static_cast<char>(v ? 0x09 : 0x08));
        return index;
    }
    std::uint64_t operator()(std::int64_t v) {
        const auto index = begin();
        putInteger(v);
        return index;
    }
    std::uint64_t operator()(double v) {
        const auto index = begin();
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, sizeof bits);
        out_.push_back(static_cast<char>(0x23));
        putBigEndian(bits, 8);
        return index;
    }
    std::uint64_t operator()(const std::string& v) {
        const bool ascii = std::all_of(v.begin(), v.end(), [](char c) {
            return c != 0 && static_cast<unsigned char>(c) < 0x80;
        });
        const auto index = begin();
        if (ascii) {
            putMarker(0x5, v.size());
            out_ += v;
        } else {
            const std::vector<std::uint16_t> units = utf16Of(v);
            putMarker(0x6, units.size());
            for (const std::uint16_t unit : units)
                putBigEndian(unit, 2);
        }
        return index;
    }
    std::uint64_t operator()(const PlistData& v) {
        const auto index = begin();
        putMarker(0x4, v.size());
        out_.append(reinterpret_cast<const char*>(v.data()), v.size());
        return index;
    }
    std::uint64_t operator()(const PlistArray& v) {
        std::vector<std::uint64_t> refs;
        refs.reserve(v.size());
        for (const auto& item : v)
            refs.push_back(add(item));
        const auto index = begin();
        putMarker(0xA, v.size());
        for (const std::uint64_t ref : refs)
            putBigEndian(ref, refSize_);
        return index;
    }
    std::uint64_t operator()(const PlistDict& v) {
        std::vector<std::uint64_t> refs;
        refs.reserve(v.size() * 2);
        for (const auto& [key, item] : v)
            refs.push_back((*this)(key));
        for (const auto& [key, item] : v)
            refs.push_back(add(item));
        const auto index = begin();
        putMarker(0xD, v.size());
        for (const std::uint64_t ref : refs)
            putBigEndian(ref, refSize_);
        return index;
    }

private:
    std::uint64_t begin() {
        offsets_.push_back(out_.size());
        return offsets_.size() - 1;
    }

    void putBigEndian(std::uint64_t v, std::size_t n) {
        for (std::size_t i = n; i-- > 0;) {
            out_.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
        }
    }

    void putInteger(std::int64_t v) {
        const std::size_t n = v < 0 ? 8 : bytesFor(static_cast<std::uint64_t>(v));
        const int sizeBits = n == 1 ? 0 : n == 2 ? 1 : n == 4 ? 2 : 3;
        out_.push_back(static_cast<char>(0x10 | sizeBits));
        putBigEndian(static_cast<std::uint64_t>(v), n);
    }

    // A collection's or a string's marker with its count, after it as an integer from 15 on.
    void putMarker(unsigned kind, std::size_t count) {
        if (count < 15) {
            out_.push_back(static_cast<char>((kind << 4) | count));
            return;
        }
        out_.push_back(static_cast<char>((kind << 4) | 0xF));
        putInteger(static_cast<std::int64_t>(count));
    }

    std::string out_;
    std::vector<std::uint64_t> offsets_;
    const std::size_t refSize_;
};

}  // namespace

std::string toBinary(const PlistValue& value) { return BinaryWriter(value).take(); }

}  // namespace vm::plist
