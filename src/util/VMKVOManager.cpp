#include "util/VMKVOManager.h"

#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"

#include <algorithm>
#include <cassert>

namespace vm {

VMKVOManager::~VMKVOManager() { cancelKVO(); }

void VMKVOManager::setKvoTargets(Table table) {
    Table unique;
    for (auto& entry : table) {
        auto it = std::find_if(unique.begin(), unique.end(),
                               [&](const auto& e) { return e.first == entry.first; });
        if (it != unique.end()) {
            it->second = std::move(entry.second);
        } else {
            unique.push_back(std::move(entry));
        }
    }
    std::lock_guard lock(mutex_);
    kvoTargets_ = std::move(unique);
}

void VMKVOManager::setTarget(const std::shared_ptr<void>& target) {
    std::lock_guard lock(mutex_);
    target_ = target;
}

bool VMKVOManager::registered() const {
    std::lock_guard lock(mutex_);
    return registered_;
}

std::shared_ptr<Observable> VMKVOManager::thisObject() const {
    std::lock_guard lock(mutex_);
    return thisObject_;
}

const VMKVOManager::Handler* VMKVOManager::handlerFor(const std::string& keyPath) const {
    for (const auto& [key, handler] : kvoTargets_) {
        if (key == keyPath) {
            return &handler;
        }
    }
    return nullptr;
}

void VMKVOManager::initKVO(std::shared_ptr<Observable> object,
                           const std::shared_ptr<void>& target) {
    std::vector<std::string> keys;
    {
        std::lock_guard lock(mutex_);
        thisObject_ = std::move(object);
        target_ = target;
        registered_ = true;
        if (!thisObject_ || !target) {
            return;
        }
        for (const auto& entry : kvoTargets_) {
            keys.push_back(entry.first);
        }
    }
    std::vector<Observable::Token> tokens;
    std::shared_ptr<Observable> observedObject = thisObject();
    for (const auto& key : keys) {
        // A key that the object does not declare would never be announced: a table's fault.
        if (!observedObject->declares(key)) {
            log("VMKVOManager:initKVO:no property [{}] on the observed object", key);
            assert(!"an observed key that the object does not declare");
        }
        tokens.push_back(
            observedObject->addObserver(key, [weak = weak_from_this()](const Change& change) {
                if (auto self = weak.lock()) {
                    self->observed(change);
                }
            }));
    }
    std::lock_guard lock(mutex_);
    tokens_.insert(tokens_.end(), tokens.begin(), tokens.end());
}

void VMKVOManager::initValues() {
    Table table;
    std::shared_ptr<Observable> object;
    std::shared_ptr<void> target;
    {
        std::lock_guard lock(mutex_);
        table = kvoTargets_;
        object = thisObject_;
        target = target_.lock();
    }
    if (!target) {
        return;
    }
    for (const auto& [key, handler] : table) {
        handler(target, object, nullptr);
    }
}

void VMKVOManager::observed(const Change& change) {
    Handler handler;
    std::shared_ptr<Observable> object;
    {
        std::lock_guard lock(mutex_);
        const Handler* h = handlerFor(change.keyPath);
        if (!h) {
            return;
        }
        handler = *h;
        object = thisObject_;
    }
    if (isMainThread()) {
        std::shared_ptr<void> target;
        {
            std::lock_guard lock(mutex_);
            target = target_.lock();
        }
        if (target) {
            handler(target, object, &change);
        }
        return;
    }
    // The posted call keeps the manager, the object and the change until it has run; the target
    // is looked up then, and nothing is called once the binding has been cancelled or rebound to
    // another object meanwhile.
    DispatchQueue::main()->async([self = shared_from_this(), handler, object, change] {
        std::shared_ptr<void> target;
        {
            std::lock_guard lock(self->mutex_);
            if (!self->registered_ || self->thisObject_ != object) {
                return;
            }
            target = self->target_.lock();
        }
        if (target) {
            handler(target, object, &change);
        }
    });
}

void VMKVOManager::cancelKVO() {
    std::shared_ptr<Observable> object;
    std::vector<Observable::Token> tokens;
    {
        std::lock_guard lock(mutex_);
        if (!registered_) {
            return;
        }
        registered_ = false;
        object = std::move(thisObject_);
        thisObject_.reset();
        tokens.swap(tokens_);
    }
    if (object) {
        for (auto token : tokens) {
            object->removeObserver(token);
        }
    }
}

}  // namespace vm
