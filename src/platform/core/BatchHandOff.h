#pragma once
// Items that one queue produces and another serial queue consumes, in order, handed over a batch
// per task rather than a task per item: the item that starts a batch has its producer queue the
// one task that delivers it, later items join that batch until the task takes it. Two vectors take
// turns, so a steady stream allocates nothing here. The stream objects hand their frames and tiles
// to their views this way, the stream router its meter values to the main queue.
#include <mutex>
#include <utility>
#include <vector>

namespace vm {

template <class Item>
class BatchHandOff {
public:
    // On the producer's side. True when `item` starts a batch: the caller then queues, on the
    // consumer's queue, the one task that calls deliver().
    bool add(Item item) {
        return addWith([&](std::vector<Item>& batch) { batch.push_back(std::move(item)); });
    }
    // add() for several items at once: `append(batch)` adds them under the batch's lock. True when
    // they start a batch.
    template <class Append>
    bool addWith(Append&& append) {
        std::lock_guard lock(mutex_);
        const bool started = pending_.empty();
        append(pending_);
        return started && !pending_.empty();
    }

    // On the consumer's queue: calls `each(item)` for every item of the batch, in order, and lets
    // go of them afterwards. Items added meanwhile start the next batch.
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
    std::vector<Item> taking_;   // the consumer's queue only
};

}  // namespace vm
