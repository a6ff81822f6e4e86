#include "platform/core/Log.h"

#include <time.h>
#include <unistd.h>

#include <mutex>

namespace vm {

namespace {
std::mutex gSinkMutex;
LogSink gSink;

void writeAll(int fd, const std::string& text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n <= 0) {
            return;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
}
}  // namespace

std::string logTimestamp() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    ::localtime_r(&now.tv_sec, &local);
    return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}.{:03}", local.tm_year + 1900,
                       local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                       now.tv_nsec / 1'000'000);
}

std::string escapeControlCharacters(std::string_view line) {
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        const auto next = i + 1 < line.size() ? static_cast<unsigned char>(line[i + 1]) : 0;
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            out += fmt::format("\\x{:02x}", c);
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            out += fmt::format("\\u{:04x}", next);  // C1 controls, NEL among them
            ++i;
        } else if (c == 0xE2 && next == 0x80 && i + 2 < line.size() &&
                   (static_cast<unsigned char>(line[i + 2]) == 0xA8 ||
                    static_cast<unsigned char>(line[i + 2]) == 0xA9)) {
            out += static_cast<unsigned char>(line[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

void logLine(std::string_view raw) {
    const std::string line = escapeControlCharacters(raw);
    LogSink sink;
    {
        std::lock_guard lock(gSinkMutex);
        sink = gSink;
    }
    if (sink) {
        sink(line);
        return;
    }
    std::string text = logTimestamp();
    text.push_back(' ');
    text += line;
    text.push_back('\n');
    writeAll(STDERR_FILENO, text);  // one write per line keeps lines from threads whole
}

LogSink setLogSink(LogSink sink) {
    std::lock_guard lock(gSinkMutex);
    std::swap(gSink, sink);
    return sink;
}

}  // namespace vm
