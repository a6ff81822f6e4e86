#include "platform/core/NotificationCenter.h"

#include <algorithm>

namespace vm {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter();  // lives for the whole process
    return *center;
}

NotificationCenter::Token NotificationCenter::addObserver(std::string name, const void* object,
                                                          DispatchQueuePtr queue, Handler handler) {
    std::lock_guard lock(mutex_);
    const Token token = next_++;
    entries_.push_back(Entry{token, std::move(name), object, std::move(queue),
                             std::make_shared<Handler>(std::move(handler)),
                             std::make_shared<std::atomic<bool>>(true)});
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [token](const Entry& e) { return e.token == token; });
    if (it != entries_.end()) {
        it->alive->store(false);
        entries_.erase(it);
    }
}

void NotificationCenter::post(std::string name, std::shared_ptr<void> object,
                              std::map<std::string, std::any> userInfo) {
    post(Notification{std::move(name), std::move(object), std::move(userInfo)});
}

void NotificationCenter::post(const Notification& notification) {
    std::vector<Entry> matching;
    {
        std::lock_guard lock(mutex_);
        for (const Entry& e : entries_) {
            if ((e.name.empty() || e.name == notification.name) &&
                (!e.object || e.object == notification.object.get())) {
                matching.push_back(e);
            }
        }
    }
    for (const Entry& e : matching) {
        if (!e.alive->load()) {
            continue;
        }
        if (e.queue) {
            e.queue->async([e, notification] {
                if (e.alive->load()) {
                    (*e.handler)(notification);
                }
            });
        } else {
            (*e.handler)(notification);
        }
    }
}

}  // namespace vm
