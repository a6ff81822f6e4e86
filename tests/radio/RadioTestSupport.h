#pragma once
// Test helpers for the radio session: a delegate that records the connection states it hears (on
// the main queue, which the tests drain), a reply receiver that records what reaches it (on the
// session's queue), and a recorder of notifications delivered on the main queue.
#include "platform/core/DispatchQueue.h"
#include "platform/core/NotificationCenter.h"
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

    void radioConnectionStateChange(const std::shared_ptr<Radio>& radio,
                                    std::uint32_t state) override {
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

// A copy of what a guarded collection of the session holds now.
template <class C>
C contents(const std::shared_ptr<Guarded<C>>& collection) {
    return collection->with([](const C& items) { return items; });
}

// Lets queued work run for a while when a test checks that something does not happen.
inline void settle(std::chrono::milliseconds time = std::chrono::milliseconds(200)) {
    runMainUntil([] { return false; }, time);
}

// Notifications of the given names, in the order the main queue delivered them.
class NotificationRecorder {
public:
    explicit NotificationRecorder(std::vector<std::string> names) {
        for (auto& name : names) {
            tokens_.push_back(NotificationCenter::defaultCenter().addObserver(
                std::move(name), nullptr, nullptr, [this](const Notification& note) {
                    EXPECT_TRUE(isMainThread());
                    std::lock_guard lock(mutex_);
                    seen_.push_back({note.name, note.object});
                }));
        }
    }
    ~NotificationRecorder() {
        for (const auto token : tokens_) {
            NotificationCenter::defaultCenter().removeObserver(token);
        }
    }
    struct Seen {
        std::string name;
        std::shared_ptr<void> object;
    };
    std::vector<Seen> seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& s : seen()) {
            out.push_back(s.name);
        }
        return out;
    }

private:
    std::vector<NotificationCenter::Token> tokens_;
    mutable std::mutex mutex_;
    std::vector<Seen> seen_;
};

}  // namespace vm::test
