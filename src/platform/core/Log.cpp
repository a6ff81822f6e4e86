#include "platform/core/Log.h"

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

void logLine(std::string_view line) {
    LogSink sink;
    {
        std::lock_guard lock(gSinkMutex);
        sink = gSink;
    }
    if (sink) {
        sink(line);
        return;
    }
    std::string text(line);
    text.push_back('\n');
    writeAll(STDERR_FILENO, text);  // one write per line keeps lines from threads whole
}

LogSink setLogSink(LogSink sink) {
    std::lock_guard lock(gSinkMutex);
    std::swap(gSink, sink);
    return sink;
}

}  // namespace vm
