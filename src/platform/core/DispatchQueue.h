#pragma once
// Dispatch queues: serial queues with labels, the main queue and the global concurrent queues.
//
// - async() runs tasks in call order on a serial queue, one at a time, on a pool thread.
// - sync() runs the task on the calling thread once the queue is free; when the calling thread
//   already holds the queue (or the queue it targets), the task runs inline, so sync never
//   deadlocks on its own queue. On the main queue the task runs on the main thread.
// - A serial queue created with a target queue runs its tasks on that target, one at a time with
//   the target's own tasks; inside them both queues count as current.
// - The main queue is drained by whoever owns the main thread: the Qt event loop in the
//   application, runMainUntil() in tests.
#include "platform/core/DispatchClock.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <type_traits>

namespace vm {

class DispatchQueue;
using DispatchQueuePtr = std::shared_ptr<DispatchQueue>;
using DispatchTask = std::function<void()>;

class DispatchQueue : public std::enable_shared_from_this<DispatchQueue> {
public:
    enum class Kind { Serial, Main, Concurrent };
    enum class Priority { Default, Low };

    // A new serial queue. With a target, its tasks run on the target (which must be serial or
    // the main queue), interleaved in call order with the target's own tasks.
    static DispatchQueuePtr serial(std::string label, DispatchQueuePtr target = nullptr);
    static DispatchQueuePtr main();
    static DispatchQueuePtr global(Priority priority = Priority::Default);

    const std::string& label() const { return label_; }
    Kind kind() const { return kind_; }

    void async(DispatchTask task);
    // async() that spares the hand-over to a pool thread when it can: on a serial queue that is
    // free (nothing queued, no task or sync caller holding it, nor the queue it targets) the task
    // runs at once on the calling thread, holding the queue as its own tasks do; otherwise it is
    // queued as async() queues it. Never waits for the queue. Either way it runs after the tasks
    // queued before it and before those queued after it.
    void asyncOrRunIdle(DispatchTask task);
    void sync(const std::function<void()>& task);
    // sync() for an operation that answers.
    template <class F>
    auto syncResult(F&& f) -> decltype(f()) {
        using R = decltype(f());
        if constexpr (std::is_void_v<R>) {
            sync(f);
        } else {
            std::optional<R> result;
            sync([&] { result.emplace(f()); });
            return std::move(*result);
        }
    }
    void after(DispatchClock::duration delay, DispatchTask task);

    // True while the calling thread runs a task of this queue, or of a queue that targets it.
    // The main queue is also current on the main thread outside any task.
    bool isCurrent() const;

    // Queue-specific values: getSpecific() looks at the queue running on this thread first, then
    // at the queues it targets.
    void setSpecific(const void* key, void* value);
    static void* getSpecific(const void* key);

    ~DispatchQueue() = default;
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    // Runs the tasks waiting on the main queue (those present when it starts; later ones wake the
    // drainer again). Call on the main thread. Returns how many ran.
    static std::size_t drainMain();
    // Called from any thread when the main queue goes from empty to non-empty, so that an event
    // loop can schedule drainMain(). Set once, before work is queued.
    static void setMainWakeup(std::function<void()> wake);

private:
    struct SyncGate;
    struct Item {
        DispatchTask task;
        DispatchQueue* as = nullptr;          // the queue the task was queued on
        std::shared_ptr<SyncGate> gate;       // set for a sync waiter on a pool queue
        std::shared_ptr<DispatchQueue> keep;  // keeps `as` alive until the task ran
    };

    DispatchQueue(std::string label, Kind kind, DispatchQueuePtr target);
    DispatchQueue* root();
    const DispatchQueue* root() const;
    void enqueue(Item item);
    void schedule();
    void drain();
    void release();
    // Makes the calling thread the queue's holder when nobody holds it and nothing is queued.
    bool tryClaim();
    bool heldByThisThread() const;
    friend bool runMainUntil(const std::function<bool()>&, std::chrono::milliseconds);

    const std::string label_;
    const Kind kind_;
    const DispatchQueuePtr target_;

    std::mutex mutex_;
    std::condition_variable mainCv_;  // main queue: work arrived
    std::deque<Item> items_;
    bool running_ = false;  // pool serial queue: a drain or a sync owner holds the queue
    bool wakePending_ = false;

    mutable std::mutex specificMutex_;
    std::map<const void*, void*> specifics_;
};

// True on the process's main thread (the thread that started the program).
bool isMainThread();

// Test helper for the main thread: drains the main queue until `done` answers true or `timeout`
// of real time has passed. Returns the last answer of `done`.
bool runMainUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace vm
