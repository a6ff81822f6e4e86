#pragma once
// What a display stream's packets decode to (frames, tiles) goes from the stream manager's queue
// to the stream object's own serial queue in arrival order, one task per batch rather than one
// per packet: the item that starts a batch has its caller queue the task, later items join that
// batch until the task takes it. Two vectors take turns, so a steady stream allocates nothing
// here.
#include <mutex>
#include <utility>
#include <vector>

namespace vm {

template <class Item>
class StreamHandOff {
public:
    // On the stream manager's queue. True when `item` starts a batch: the caller then queues, on
    // the object's queue, the one task that calls deliver().
    bool add(Item item) {
        std::lock_guard lock(mutex_);
        pending_.push_back(std::move(item));
        return pending_.size() == 1;
    }

    // On the object's queue: calls `each(item)` for every item of the batch, in arrival order,
    // and lets go of them afterwards. Items added meanwhile start the next batch.
    template <class Each>
    void deliver(Each&& each) {
        {
            std::lock_guard lock(mutex_);
            taking_.swap(pending_);
        }
        for (const Item& item : taking_) {
            each(item);
        }
        taking_.clear();
    }

private:
    std::mutex mutex_;
    std::vector<Item> pending_;  // under mutex_
    std::vector<Item> taking_;   // the object's queue only
};

}  // namespace vm
