#include "platform/core/Observable.h"

#include <algorithm>

namespace vm {

Observable::Token Observable::addObserver(std::string keyPath, Callback callback) {
    std::lock_guard lock(mutex_);
    auto observer = std::make_shared<Observer>();
    observer->token = next_++;
    observer->callback = std::move(callback);
    countObserver(keyPath, 1);
    observers_[std::move(keyPath)].push_back(observer);
    return observer->token;
}

void Observable::removeObserver(Token token) {
    std::lock_guard lock(mutex_);
    for (auto it = observers_.begin(); it != observers_.end(); ++it) {
        auto& list = it->second;
        auto found = std::find_if(list.begin(), list.end(),
                                  [token](const auto& o) { return o->token == token; });
        if (found != list.end()) {
            (*found)->alive = false;
            list.erase(found);
            countObserver(it->first, -1);
            if (list.empty()) {
                observers_.erase(it);
            }
            return;
        }
    }
}

void Observable::announce(std::string_view keyPath, std::any newValue) const {
    std::vector<std::shared_ptr<Observer>> targets;
    {
        std::lock_guard lock(mutex_);
        auto it = observers_.find(keyPath);
        if (it == observers_.end()) {
            return;
        }
        targets = it->second;
    }
    const Change change{std::string(keyPath), std::move(newValue)};
    for (const auto& observer : targets) {
        if (observer->alive) {
            observer->callback(change);
        }
    }
}

const ObservedProperty* Observable::property(std::string_view key) const {
    std::lock_guard lock(mutex_);
    return propertyLocked(key);
}

const ObservedProperty* Observable::propertyLocked(std::string_view key) const {
    for (const ObservedProperty* p : properties_) {
        if (key == p->key()) {
            return p;
        }
    }
    return nullptr;
}

void Observable::countObserver(std::string_view key, int change) {
    for (const ObservedProperty* p : properties_) {
        if (key == p->key()) {
            p->observers_.fetch_add(change, std::memory_order_release);
        }
    }
}

std::vector<std::string> Observable::propertyNames() const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    names.reserve(properties_.size());
    for (const ObservedProperty* p : properties_) {
        names.emplace_back(p->key());
    }
    return names;
}

std::optional<std::any> Observable::valueForKey(std::string_view key) const {
    const ObservedProperty* p = property(key);
    if (!p) {
        return std::nullopt;
    }
    return p->anyValue();
}

bool Observable::announceKey(std::string_view key) const {
    const ObservedProperty* p = property(key);
    if (!p) {
        return false;
    }
    p->announce();
    return true;
}

}  // namespace vm
