#pragma once
// Collects the log lines written while it lives, for tests that check what was logged.
#include "platform/core/Log.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace vm::test {

class LogCapture {
public:
    LogCapture() {
        previous_ = setLogSink([this](std::string_view line) {
            std::lock_guard lock(mutex_);
            lines_.emplace_back(line);
        });
    }
    ~LogCapture() { setLogSink(previous_); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }
    bool contains(std::string_view text) const {
        std::lock_guard lock(mutex_);
        return std::any_of(lines_.begin(), lines_.end(),
                           [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
    LogSink previous_;
};

}  // namespace vm::test
