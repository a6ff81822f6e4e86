#pragma once
// Items that one queue produces and another serial queue consumes, in order, handed over a batch
// per task rather than a task per item: the item that starts a batch has its producer queue the
// one task that delivers it, later items join that batch until the task takes it. Two batches
// take turns, so a steady stream allocates nothing here. The stream objects hand their frames and
// tiles to their views this way, the stream router its meter values to the main queue.
//
// `Batch` is a std::vector of items, or any movable container with empty() and a clear() that
// keeps its storage.
#include <mutex>
#include <utility>

namespace vm {

template <class Batch>
class BatchHandOff {
public:
    // On the producer's side. True when `item` starts a batch: the caller then queues, on the
    // consumer's queue, the one task that calls deliver().
    template <class Item>
    bool add(Item&& item) {
        return addWith([&](Batch& batch) { batch.push_back(std::forward<Item>(item)); });
    }
    // add() for several items at once, or for a batch of another shape: `append(batch)` adds them
    // under the batch's lock. True when they start a batch.
    template <class Append>
    bool addWith(Append&& append) {
        std::lock_guard lock(mutex_);
        const bool started = pending_.empty();
        append(pending_);
        return started && !pending_.empty();
    }

    // On the consumer's queue: calls `consume(batch)` with the items added so far and lets go of
    // them afterwards. Items added meanwhile start the next batch.
    template <class Consume>
    void deliverBatch(Consume&& consume) {
        {
            std::lock_guard lock(mutex_);
            using std::swap;
            swap(taking_, pending_);
        }
        consume(std::as_const(taking_));
        taking_.clear();
    }
    // deliverBatch() one item at a time, in order.
    template <class Each>
    void deliver(Each&& each) {
        deliverBatch([&](const Batch& batch) {
            for (const auto& item : batch) {
                each(item);
            }
        });
    }

private:
    std::mutex mutex_;
    Batch pending_;  // under mutex_
    Batch taking_;   // the consumer's queue only
};

}  // namespace vm
