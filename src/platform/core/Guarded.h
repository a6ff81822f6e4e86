#pragma once
// A collection that several queues share, with its own lock: every access runs under it.
#include <mutex>
#include <utility>

namespace vm {

template <class C>
class Guarded {
public:
    Guarded() = default;
    explicit Guarded(C initial) : items_(std::move(initial)) {}
    Guarded(const Guarded&) = delete;
    Guarded& operator=(const Guarded&) = delete;

    template <class F>
    decltype(auto) with(F&& f) {
        std::lock_guard lock(mutex_);
        return std::forward<F>(f)(items_);
    }
    template <class F>
    decltype(auto) with(F&& f) const {
        std::lock_guard lock(mutex_);
        return std::forward<F>(f)(std::as_const(items_));
    }

private:
    mutable std::mutex mutex_;
    C items_;
};

}  // namespace vm
