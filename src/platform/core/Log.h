#pragma once
// The debug log: one line per call on standard error (the application redirects standard error
// into its debug log file). Lines are written exactly as given, with nothing added in front.
#include <fmt/format.h>

#include <functional>
#include <string>
#include <string_view>

namespace vm {

void logLine(std::string_view line);

template <class... Args>
void log(fmt::format_string<Args...> format, Args&&... args) {
    logLine(fmt::format(format, std::forward<Args>(args)...));
}

// Replaces the destination of log lines (tests read what was logged); an empty function restores
// standard error. Returns the previous sink.
using LogSink = std::function<void(std::string_view)>;
LogSink setLogSink(LogSink sink);

}  // namespace vm
