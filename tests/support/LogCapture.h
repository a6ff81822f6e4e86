#pragma once
// Collects the log lines written while it lives, for tests that check what was logged. A line
// that another thread logs just as the capture ends may still reach the sink it took before: the
// lines live as long as the sink does, so such a line is kept where nobody reads it.
#include "platform/core/Log.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vm::test {

class LogCapture {
public:
    LogCapture() {
        previous_ = setLogSink([lines = lines_](std::string_view line) {
            std::lock_guard lock(lines->mutex);
            lines->lines.emplace_back(line);
        });
    }
    ~LogCapture() { setLogSink(previous_); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const {
        std::lock_guard lock(lines_->mutex);
        return lines_->lines;
    }
    bool contains(std::string_view text) const {
        std::lock_guard lock(lines_->mutex);
        return std::any_of(lines_->lines.begin(), lines_->lines.end(),
                           [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }

private:
    struct Lines {
        std::mutex mutex;
        std::vector<std::string> lines;
    };
    const std::shared_ptr<Lines> lines_ = std::make_shared<Lines>();
    LogSink previous_;
};

}  // namespace vm::test
