#pragma once
// The debug log: one line per call on standard error (the application redirects standard error
// into its debug log file). Each line starts with the local time to the millisecond
// ("2026-12-11 16:26:17.042 "), then the text as given, except that control characters become
// visible escapes ("\n", "\r", "\t", "\x1b", "\u0085"...): a value that came from outside can
// never start a line of its own or drive a terminal. A sink set for tests receives the text
// without the time.
#include <fmt/format.h>

#include <functional>
#include <string>
#include <string_view>

namespace vm {

void logLine(std::string_view line);

// The local time as a log line starts with it: "2026-12-11 16:26:17.042".
std::string logTimestamp();

// The line as logLine writes it: C0 controls and DEL, C1 controls and the Unicode line and
// paragraph separators escaped; everything else, invalid UTF-8 included, as it is.
std::string escapeControlCharacters(std::string_view line);

template <class... Args>
void log(fmt::format_string<Args...> format, Args&&... args) {
    logLine(fmt::format(format, std::forward<Args>(args)...));
}

// Replaces the destination of log lines (tests read what was logged); an empty function restores
// standard error. Returns the previous sink.
using LogSink = std::function<void(std::string_view)>;
LogSink setLogSink(LogSink sink);

}  // namespace vm
