// Free file names, appending to files, text encodings and length-prefixed byte strings.
#include "platform/core/AtomicFile.h"
#include "util/StringAdditions.h"
#include "util/Utf16.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <filesystem>

namespace vm::strings {

namespace {

// Anything at all at the path, a dangling symbolic link included.
bool somethingAt(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

bool writeAll(int fd, const std::string& bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string safeFilePath(const std::string& path) {
    if (!somethingAt(path)) {
        return path;
    }
    std::filesystem::path base(path);
    std::string extension = base.extension().string();
    if (!extension.empty()) {
        extension.erase(0, 1);  // without its point
    }
    base.replace_extension();
    for (int n = 1; n < INT_MAX; ++n) {
        std::string candidate = base.string() + " " + std::to_string(n) + "." + extension;
        if (!somethingAt(candidate)) {
            return candidate;
        }
    }
    return path;
}

bool appendToFile(const std::string& s, const std::string& path, TextEncoding encoding) {
    const auto bytes = encode(s, encoding);
    if (!bytes) {
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        // Only a missing file is written anew: a file that exists but cannot be opened for
        // writing is left alone rather than replaced.
        return errno == ENOENT && writeFileAtomically(path, *bytes);
    }
    const bool ok = writeAll(fd, *bytes);
    return ::close(fd) == 0 && ok;
}

std::optional<std::string> encode(const std::string& s, TextEncoding encoding) {
    if (!utf16::isValidUtf8(s)) {
        return std::nullopt;
    }
    if (encoding == TextEncoding::UTF8) {
        return s;
    }
    const unsigned limit = encoding == TextEncoding::ASCII ? 0x7F : 0xFF;
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        unsigned code = c;
        if (c >= 0x80) {
            // Only two-byte sequences can stay within Latin-1.
            if ((c & 0xE0) != 0xC0 || i + 1 >= s.size()) {
                return std::nullopt;
            }
            code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(s[++i]) & 0x3Fu);
        }
        if (code > limit) {
            return std::nullopt;
        }
        out += static_cast<char>(code);
    }
    return out;
}

std::optional<std::string> decode(const std::string& bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::UTF8:
            return utf16::isValidUtf8(bytes) ? std::optional<std::string>(bytes) : std::nullopt;
        case TextEncoding::ASCII:
            for (unsigned char c : bytes) {
                if (c >= 0x80) {
                    return std::nullopt;
                }
            }
            return bytes;
        case TextEncoding::ISOLatin1: {
            std::string out;
            for (unsigned char c : bytes) {
                if (c < 0x80) {
                    out += static_cast<char>(c);
                } else {
                    out += static_cast<char>(0xC0 | (c >> 6));
                    out += static_cast<char>(0x80 | (c & 0x3F));
                }
            }
            return out;
        }
    }
    return std::nullopt;
}

std::uint32_t convertToPascalStringInBuffer(const std::string& s, std::uint8_t* buffer,
                                            std::int32_t size, TextEncoding encoding) {
    const auto bytes = encode(s, encoding);
    if (!buffer || !bytes || bytes->size() > 255 || size < 0 ||
        bytes->size() + 1 > static_cast<std::size_t>(size)) {
        return 0;
    }
    buffer[0] = static_cast<std::uint8_t>(bytes->size());
    std::memcpy(buffer + 1, bytes->data(), bytes->size());
    return static_cast<std::uint32_t>(bytes->size() + 1);
}

std::optional<std::string> stringWithPascalString(const std::string& bytes, TextEncoding encoding) {
    if (bytes.empty()) {
        return std::nullopt;
    }
    const std::size_t length = static_cast<unsigned char>(bytes[0]);
    if (length + 1 > bytes.size()) {
        return std::nullopt;
    }
    return decode(bytes.substr(1, length), encoding);
}

}  // namespace vm::strings
