#pragma once
// A weak pointer that the owner's thread sets while an audio thread reads it. A reader or writer
// holds it for the few instructions of a pointer copy, spinning rather than sleeping, so an
// audio thread never waits on a sleeping owner.
#include <atomic>
#include <memory>

namespace vm {

template <class T>
class AtomicWeakPtr {
public:
    std::shared_ptr<T> lock() const {
        Guard guard(busy_);
        return pointer_.lock();
    }
    void store(std::weak_ptr<T> pointer) {
        Guard guard(busy_);
        pointer_.swap(pointer);
        // The previous pointer is released after the guard, outside the critical section.
    }

private:
    struct Guard {
        explicit Guard(std::atomic_flag& busy) : flag(busy) {
            while (flag.test_and_set(std::memory_order_acquire)) {
                flag.wait(true, std::memory_order_relaxed);
            }
        }
        ~Guard() {
            flag.clear(std::memory_order_release);
            flag.notify_one();
        }
        std::atomic_flag& flag;
    };
    mutable std::atomic_flag busy_;
    std::weak_ptr<T> pointer_;
};

}  // namespace vm
