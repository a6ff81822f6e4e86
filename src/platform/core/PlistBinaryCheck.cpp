// The walk of a binary property list ("bplist00") before libplist reads it: the trailer and the
// offset table must lie inside the file, every object inside the part before the table, every
// reference point at an object, and dictionary keys at strings. Each object is checked once; what
// it expands to (its values, with every use of a shared part counted, and its height) is kept, so
// a file built from shared references is measured without being expanded.
#include "platform/core/PlistCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace vm::plist {

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kTrailerSize = 32;

std::uint64_t bigEndian(const unsigned char* p, std::size_t n) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) {
        v = (v << 8) | p[i];
    }
    return v;
}

class BinaryCheck {
public:
    explicit BinaryCheck(const std::string& bytes)
        : data_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size()) {}

    std::optional<std::string> run() {
        if (!readTrailer()) {
            return why_;
        }
        std::size_t count = 0;
        int height = 0;
        if (!visit(top_, 1, &count, &height)) {
            return why_;
        }
        return std::nullopt;
    }

private:
    // What an object expands to: its values (itself included) and the levels it spans.
    struct Seen {
        std::uint32_t count = 0;
        std::uint16_t height = 0;
        std::uint8_t state = 0;  // 0 not reached, 1 being checked, 2 checked
    };

    bool readTrailer() {
        if (size_ < kHeaderSize + kTrailerSize || std::memcmp(data_, "bplist00", 8) != 0) {
            return refuse("not a binary property list of version 00");
        }
        const unsigned char* trailer = data_ + size_ - kTrailerSize;
        offsetSize_ = trailer[6];
        refSize_ = trailer[7];
        objects_ = bigEndian(trailer + 8, 8);
        top_ = bigEndian(trailer + 16, 8);
        tableAt_ = bigEndian(trailer + 24, 8);
        const std::size_t tableEnd = size_ - kTrailerSize;
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) {
            return refuse("a trailer with invalid sizes");
        }
        if (objects_ == 0 || objects_ > kMaxValues) {
            return refuse("a count of objects beyond " + std::to_string(kMaxValues));
        }
        if (top_ >= objects_ || tableAt_ < kHeaderSize || tableAt_ > tableEnd ||
            objects_ * offsetSize_ > tableEnd - tableAt_) {
            return refuse("a trailer pointing outside the file");
        }
        seen_.resize(objects_);
        return true;
    }

    // Checks object `index`, reached `depth` levels down, and gives what it expands to.
    bool visit(std::uint64_t index, int depth, std::size_t* count, int* height) {
        if (depth > kMaxDepth) {
            return refuse("nesting deeper than " + std::to_string(kMaxDepth) + " levels");
        }
        Seen& seen = seen_[index];
        if (seen.state == 1) {
            return refuse("a reference loop");
        }
        if (seen.state == 2) {
            if (depth - 1 + seen.height > kMaxDepth) {
                return refuse("nesting deeper than " + std::to_string(kMaxDepth) + " levels");
            }
            *count = seen.count;
            *height = seen.height;
            return true;
        }
        seen.state = 1;
        std::size_t total = 1;
        int below = 0;
        if (!checkObject(index, depth, &total, &below)) {
            return false;
        }
        Seen& done = seen_[index];
        done.state = 2;
        done.count = static_cast<std::uint32_t>(total);
        done.height = static_cast<std::uint16_t>(below + 1);
        *count = total;
        *height = below + 1;
        return true;
    }

    bool checkObject(std::uint64_t index, int depth, std::size_t* total, int* below) {
        const std::uint64_t offset = bigEndian(data_ + tableAt_ + index * offsetSize_, offsetSize_);
        if (offset < kHeaderSize || offset >= tableAt_) {
            return refuse("an object outside the file");
        }
        std::size_t at = static_cast<std::size_t>(offset);
        const unsigned marker = data_[at++];
        const unsigned low = marker & 0xF;
        std::uint64_t length = 0;
        switch (marker >> 4) {
            case 0x0: return low == 0x8 || low == 0x9 || refuse("a null or fill object");
            case 0x1:
                return (low <= 4 && fits(at, std::uint64_t{1} << low)) ||
                       refuse("an integer of an invalid size");
            case 0x2:
                return ((low == 2 || low == 3) && fits(at, std::uint64_t{1} << low)) ||
                       refuse("a real of an invalid size");
            case 0x3: return (low == 3 && fits(at, 8)) || refuse("a date of an invalid size");
            case 0x4: return readLength(&at, low, &length) && bytesFit(at, length, 1);
            case 0x5:
                return readLength(&at, low, &length) && bytesFit(at, length, 1) &&
                       checkAscii(at, length);
            case 0x6:
                return readLength(&at, low, &length) && bytesFit(at, length, 2) &&
                       checkUtf16(at, length);
            case 0x8:
                return (low <= 7 && fits(at, low + 1) &&
                        bigEndian(data_ + at, low + 1) <= UINT32_MAX) ||
                       refuse("an invalid UID");
            case 0xA:
                return readLength(&at, low, &length) && bytesFit(at, length, refSize_) &&
                       checkChildren(at, length, false, depth, total, below);
            case 0xD:
                return readLength(&at, low, &length) && length <= SIZE_MAX / 2 &&
                       bytesFit(at, length * 2, refSize_) &&
                       checkChildren(at, length, true, depth, total, below);
            default: return refuse("an object of an unknown kind");
        }
    }

    // The `n` references at `at` (keys first, then values, for a dictionary).
    bool checkChildren(std::size_t at, std::uint64_t n, bool dictionary, int depth,
                       std::size_t* total, int* below) {
        const std::uint64_t refs = dictionary ? n * 2 : n;
        for (std::uint64_t i = 0; i < refs; ++i) {
            const std::uint64_t child = bigEndian(data_ + at + i * refSize_, refSize_);
            if (child >= objects_) {
                return refuse("a reference to a missing object");
            }
            if (dictionary && i < n && !isString(child)) {
                return refuse("a dictionary key that is not a string");
            }
            std::size_t count = 0;
            int height = 0;
            if (!visit(child, depth + 1, &count, &height)) {
                return false;
            }
            *total += count;
            *below = std::max(*below, height);
            if (*total > kMaxValues) {
                return refuse("more than " + std::to_string(kMaxValues) +
                              " values once shared parts are expanded");
            }
        }
        return true;
    }

    bool isString(std::uint64_t index) const {
        const std::uint64_t offset = bigEndian(data_ + tableAt_ + index * offsetSize_, offsetSize_);
        if (offset < kHeaderSize || offset >= tableAt_) {
            return false;
        }
        const unsigned kind = data_[offset] >> 4;
        return kind == 0x5 || kind == 0x6;
    }

    // A length in the marker's low bits, or after it as an integer object when they are all set.
    bool readLength(std::size_t* at, unsigned low, std::uint64_t* length) {
        if (low != 0xF) {
            *length = low;
            return true;
        }
        if (!fits(*at, 1)) {
            return refuse("a length outside the file");
        }
        const unsigned marker = data_[*at];
        const unsigned sizeBits = marker & 0xF;
        if ((marker >> 4) != 0x1 || sizeBits > 3 || !fits(*at + 1, std::uint64_t{1} << sizeBits)) {
            return refuse("an invalid length");
        }
        const std::size_t n = std::size_t{1} << sizeBits;
        *length = bigEndian(data_ + *at + 1, n);
        *at += 1 + n;
        return true;
    }

    bool fits(std::size_t at, std::uint64_t n) const {
        return at <= tableAt_ && n <= tableAt_ - at;
    }

    bool bytesFit(std::size_t at, std::uint64_t count, std::uint64_t unit) {
        return (count <= tableAt_ / unit && fits(at, count * unit)) ||
               refuse("an object running past its end");
    }

    bool checkAscii(std::size_t at, std::uint64_t n) {
        for (std::uint64_t i = 0; i < n; ++i) {
            const unsigned char c = data_[at + i];
            if (c == 0 || c > 0x7F) {
                return refuse(c == 0 ? "a string holding a NUL character"
                                     : "an ASCII string holding other characters");
            }
        }
        return true;
    }

    bool checkUtf16(std::size_t at, std::uint64_t n) {
        for (std::uint64_t i = 0; i < n; ++i) {
            const auto unit = static_cast<std::uint16_t>(bigEndian(data_ + at + 2 * i, 2));
            if (unit == 0) {
                return refuse("a string holding a NUL character");
            }
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                const std::uint16_t next =
                    i + 1 < n ? static_cast<std::uint16_t>(bigEndian(data_ + at + 2 * (i + 1), 2))
                              : 0;
                if (next < 0xDC00 || next > 0xDFFF) {
                    return refuse("a string of invalid UTF-16");
                }
                ++i;
            } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
                return refuse("a string of invalid UTF-16");
            }
        }
        return true;
    }

    bool refuse(std::string why) {
        why_ = std::move(why);
        return false;
    }

    const unsigned char* data_;
    std::size_t size_;
    std::size_t offsetSize_ = 0;
    std::size_t refSize_ = 0;
    std::uint64_t objects_ = 0;
    std::uint64_t top_ = 0;
    std::size_t tableAt_ = 0;
    std::vector<Seen> seen_;
    std::string why_;
};

}  // namespace

std::optional<std::string> whyBinaryRefused(const std::string& bytes) {
    return BinaryCheck(bytes).run();
}

std::optional<std::string> whyRefused(const std::string& bytes) {
    if (bytes.empty()) {
        return "an empty file";
    }
    if (bytes.size() > kMaxBytes) {
        return "larger than " + std::to_string(kMaxBytes) + " bytes";
    }
    if (bytes.rfind("bplist", 0) == 0) {
        return whyBinaryRefused(bytes);
    }
    return whyXmlRefused(bytes);
}

}  // namespace vm::plist
