#pragma once
// Test helpers for the radio session: a delegate that records the connection states it hears (on
// the main queue, which the tests drain) and a reply receiver that records what reaches it (on the
// session's queue).
#include "platform/core/DispatchQueue.h"
#include "radio/Radio.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace vm::test {

struct StateRecorder : RadioDelegate {
    std::vector<std::uint32_t> states;  // main thread only
    std::vector<std::shared_ptr<Radio>> from;

    void radioConnectionStateChange(const std::shared_ptr<Radio>& radio, std::uint32_t state) override {
        EXPECT_TRUE(isMainThread());
        states.push_back(state);
        from.push_back(radio);
    }
    bool saw(std::uint32_t state) const {
        return std::find(states.begin(), states.end(), state) != states.end();
    }
};

struct ReplyRecorder : RadioDelegate {
    void radioCommandResponse(std::uint32_t seqNum, const std::string& response) override {
        std::lock_guard lock(mutex);
        replies.emplace_back(seqNum, response);
    }
    std::vector<std::pair<std::uint32_t, std::string>> received() const {
        std::lock_guard lock(mutex);
        return replies;
    }

    mutable std::mutex mutex;
    std::vector<std::pair<std::uint32_t, std::string>> replies;
};

// What was logged, without the farewell of sessions (of earlier tests, too) that go away on their
// own queue.
inline std::vector<std::string> loggedLines(const LogCapture& capture) {
    auto lines = capture.lines();
    std::erase(lines, "Radio:dealloc completed");
    return lines;
}

inline bool waitFor(const std::function<bool()>& done,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return runMainUntil(done, timeout);
}

// Lets queued work run for a while when a test checks that something does not happen.
inline void settle(std::chrono::milliseconds time = std::chrono::milliseconds(200)) {
    runMainUntil([] { return false; }, time);
}

}  // namespace vm::test
