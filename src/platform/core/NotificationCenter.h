#pragma once
// Named notifications inside the process: a name, the object it concerns and user information.
// An observer is called synchronously on the poster's thread, or, when it gave a queue, by a task
// on that queue. An observer removed before a delivery runs is not called.
#include "platform/core/DispatchQueue.h"

#include <any>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vm {

struct Notification {
    std::string name;
    std::shared_ptr<void> object;
    std::map<std::string, std::any> userInfo;
};

class NotificationCenter {
public:
    using Token = std::uint64_t;
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    // An empty name observes every name; a null object observes every object.
    Token addObserver(std::string name, const void* object, DispatchQueuePtr queue,
                      Handler handler);
    Token addObserver(std::string name, Handler handler) {
        return addObserver(std::move(name), nullptr, nullptr, std::move(handler));
    }
    // Removing twice, or a token that was never given, does nothing.
    void removeObserver(Token token);

    void post(const Notification& notification);
    void post(std::string name, std::shared_ptr<void> object = nullptr,
              std::map<std::string, std::any> userInfo = {});

private:
    struct Entry {
        Token token;
        std::string name;
        const void* object;
        DispatchQueuePtr queue;
        std::shared_ptr<Handler> handler;
        std::shared_ptr<std::atomic<bool>> alive;
    };

    std::mutex mutex_;
    std::vector<Entry> entries_;
    Token next_ = 1;
};

}  // namespace vm
