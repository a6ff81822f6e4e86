#pragma once
// A list that several threads share as a simple FIFO queue or LIFO stack. Index 0 is the oldest
// element: pushes append, a queue pops from the front, a stack from the back. Each operation holds
// the list's lock for its whole read-and-remove or append, so no element is handed out twice.
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace vm {

template <class T>
class LockedArray {
public:
    void queuePush(T item) { push(std::move(item)); }
    void stackPush(T item) { push(std::move(item)); }

    std::optional<T> queuePop() { return pop(true); }
    std::optional<T> stackPop() { return pop(false); }

    std::size_t size() const {
        std::lock_guard lock(mutex_);
        return items_.size();
    }

private:
    std::optional<T> pop(bool oldest) {
        std::lock_guard lock(mutex_);
        if (items_.empty()) {
            return std::nullopt;
        }
        T item = std::move(oldest ? items_.front() : items_.back());
        oldest ? items_.pop_front() : items_.pop_back();
        return item;
    }

    void push(T item) {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(item));
    }

    mutable std::mutex mutex_;
    std::deque<T> items_;
};

}  // namespace vm
