#pragma once
// An object's delegate, held weakly under its own lock, that any thread may set and look up. The
// stream objects ask isSet() for every packet on their receive queue: it reads a flag, without the
// lock or a reference to the delegate, and the delegate itself is looked up where the packet's
// data reaches it.
#include "platform/core/Guarded.h"

#include <atomic>
#include <memory>
#include <utility>

namespace vm {

template <class Delegate>
class WeakDelegate {
public:
    void set(std::weak_ptr<Delegate> delegate) {
        delegate_.with([&](auto& current) {
            current = std::move(delegate);
            set_.store(!current.expired(), std::memory_order_relaxed);
        });
    }
    std::shared_ptr<Delegate> get() const {
        return delegate_.with([](const auto& current) { return current.lock(); });
    }
    // Whether a delegate was set (it may have gone since: get() tells).
    bool isSet() const { return set_.load(std::memory_order_relaxed); }

private:
    Guarded<std::weak_ptr<Delegate>> delegate_;
    std::atomic<bool> set_{false};
};

}  // namespace vm
