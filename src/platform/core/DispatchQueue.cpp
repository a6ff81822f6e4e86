#include "platform/core/DispatchQueue.h"

#include "platform/core/DispatchTimerTraits.h"
#include "platform/core/Executor.h"

#include <thread>
#include <vector>

namespace vm {

namespace {

const std::thread::id gMainThread = std::this_thread::get_id();

// The queues whose tasks this thread is running, innermost last.
thread_local std::vector<const DispatchQueue*> tHeld;

struct HeldScope {
    explicit HeldScope(const DispatchQueue* q) { tHeld.push_back(q); }
    ~HeldScope() { tHeld.pop_back(); }
    HeldScope(const HeldScope&) = delete;
    HeldScope& operator=(const HeldScope&) = delete;
};

std::mutex gWakeMutex;
std::function<void()> gWake;

constexpr int kTasksPerDrain = 64;

}  // namespace

struct DispatchQueue::SyncGate {
    std::mutex mutex;
    std::condition_variable cv;
    bool open = false;

    void openGate() {
        std::lock_guard lock(mutex);
        open = true;
        cv.notify_all();
    }
    void wait() {
        std::unique_lock lock(mutex);
        cv.wait(lock, [this] { return open; });
    }
};

bool isMainThread() { return std::this_thread::get_id() == gMainThread; }

DispatchQueue::DispatchQueue(std::string label, Kind kind, DispatchQueuePtr target)
    : label_(std::move(label)), kind_(kind), target_(std::move(target)) {}

DispatchQueuePtr DispatchQueue::serial(std::string label, DispatchQueuePtr target) {
    if (target && target->kind_ == Kind::Concurrent) {
        target = nullptr;  // a concurrent target would not keep the tasks in order
    }
    return DispatchQueuePtr(new DispatchQueue(std::move(label), Kind::Serial, std::move(target)));
}

DispatchQueuePtr DispatchQueue::main() {
    static const DispatchQueuePtr queue(
        new DispatchQueue("com.velmorasoftware.vmsdr.main-queue", Kind::Main, nullptr));
    return queue;
}

DispatchQueuePtr DispatchQueue::global(Priority priority) {
    static const DispatchQueuePtr normal(
        new DispatchQueue("com.velmorasoftware.vmsdr.global-default", Kind::Concurrent, nullptr));
    static const DispatchQueuePtr low(
        new DispatchQueue("com.velmorasoftware.vmsdr.global-low", Kind::Concurrent, nullptr));
    return priority == Priority::Low ? low : normal;
}

DispatchQueue* DispatchQueue::root() {
    DispatchQueue* q = this;
    while (q->target_) {
        q = q->target_.get();
    }
    return q;
}

const DispatchQueue* DispatchQueue::root() const {
    return const_cast<DispatchQueue*>(this)->root();
}

bool DispatchQueue::isCurrent() const {
    if (kind_ == Kind::Main) {
        return isMainThread();
    }
    for (const DispatchQueue* held : tHeld) {
        for (const DispatchQueue* q = held; q; q = q->target_.get()) {
            if (q == this) {
                return true;
            }
        }
    }
    return false;
}

bool DispatchQueue::heldByThisThread() const {
    const DispatchQueue* r = root();
    if (r->kind_ == Kind::Main) {
        return isMainThread();
    }
    for (const DispatchQueue* held : tHeld) {
        if (held->root() == r) {
            return true;
        }
    }
    return false;
}

void DispatchQueue::async(DispatchTask task) {
    root()->enqueue(Item{std::move(task), this, nullptr, shared_from_this()});
}

void DispatchQueue::asyncOrRunIdle(DispatchTask task) {
    DispatchQueue* r = root();
    if (r->kind_ != Kind::Serial || !r->tryClaim()) {
        async(std::move(task));
        return;
    }
    const DispatchQueuePtr keep = shared_from_this();  // and with it the queues it targets
    {
        HeldScope scope(this);
        task();
        // Released while the queue still counts as held, as drain() does.
        task = nullptr;
    }
    r->release();
}

bool DispatchQueue::tryClaim() {
    std::lock_guard lock(mutex_);
    if (running_ || !items_.empty()) {
        return false;
    }
    running_ = true;
    return true;
}

void DispatchQueue::enqueue(Item item) {
    switch (kind_) {
        case Kind::Concurrent:
            detail::Executor::shared().post([item = std::move(item)] {
                HeldScope scope(item.as);
                item.task();
            });
            return;
        case Kind::Main: {
            bool wake = false;
            {
                std::lock_guard lock(mutex_);
                items_.push_back(std::move(item));
                wake = !wakePending_;
                wakePending_ = true;
            }
            mainCv_.notify_all();
            if (wake) {
                std::function<void()> w;
                {
                    std::lock_guard lock(gWakeMutex);
                    w = gWake;
                }
                if (w) {
                    w();
                }
            }
            return;
        }
        case Kind::Serial: {
            {
                std::lock_guard lock(mutex_);
                items_.push_back(std::move(item));
                if (running_) {
                    return;
                }
                running_ = true;
            }
            schedule();
            return;
        }
    }
}

void DispatchQueue::schedule() {
    detail::Executor::shared().post([self = shared_from_this()] { self->drain(); });
}

void DispatchQueue::drain() {
    for (int n = 0; n < kTasksPerDrain; ++n) {
        Item item;
        {
            std::lock_guard lock(mutex_);
            if (items_.empty()) {
                running_ = false;
                return;
            }
            item = std::move(items_.front());
            items_.pop_front();
        }
        if (item.gate) {
            item.gate->openGate();  // the waiting caller now holds the queue
            return;
        }
        HeldScope scope(item.as);
        item.task();
        // Release what the task captured while the queue still counts as held: a destructor
        // that syncs onto this queue then runs inline instead of waiting for itself.
        item.task = nullptr;
    }
    schedule();  // still held: let other queues' work have a turn
}

void DispatchQueue::release() {
    {
        std::lock_guard lock(mutex_);
        if (items_.empty()) {
            running_ = false;
            return;
        }
    }
    schedule();
}

void DispatchQueue::sync(const std::function<void()>& task) {
    if (kind_ == Kind::Concurrent || heldByThisThread()) {
        HeldScope scope(this);
        task();
        return;
    }
    const DispatchQueuePtr keep = shared_from_this();  // and with it the queues it targets
    DispatchQueue* r = root();
    if (r->kind_ == Kind::Main) {
        auto done = std::make_shared<SyncGate>();
        r->enqueue(Item{[&task, done] {
                            task();
                            done->openGate();
                        },
                        this, nullptr, keep});
        done->wait();
        return;
    }
    std::shared_ptr<SyncGate> gate;
    {
        std::lock_guard lock(r->mutex_);
        if (!r->running_ && r->items_.empty()) {
            r->running_ = true;
        } else {
            gate = std::make_shared<SyncGate>();
            r->items_.push_back(Item{nullptr, this, gate, nullptr});
        }
    }
    if (gate) {
        gate->wait();
    }
    {
        HeldScope scope(this);
        task();
    }
    r->release();
}

void DispatchQueue::after(DispatchClock::duration delay, DispatchTask task) {
    auto timer = std::make_shared<detail::DispatchTimerType>(detail::Executor::shared().io());
    timer->expires_after(delay);
    timer->async_wait([timer, self = shared_from_this(), task = std::move(task)](
                          const std::error_code&) mutable { self->async(std::move(task)); });
}

void DispatchQueue::setSpecific(const void* key, void* value) {
    std::lock_guard lock(specificMutex_);
    if (value) {
        specifics_[key] = value;
    } else {
        specifics_.erase(key);
    }
}

void* DispatchQueue::getSpecific(const void* key) {
    const DispatchQueue* start = nullptr;
    if (!tHeld.empty()) {
        start = tHeld.back();
    } else if (isMainThread()) {
        start = main().get();
    }
    for (const DispatchQueue* q = start; q; q = q->target_.get()) {
        std::lock_guard lock(q->specificMutex_);
        auto it = q->specifics_.find(key);
        if (it != q->specifics_.end()) {
            return it->second;
        }
    }
    return nullptr;
}

std::size_t DispatchQueue::drainMain() {
    DispatchQueue* m = main().get();
    std::size_t count = 0;
    {
        std::lock_guard lock(m->mutex_);
        count = m->items_.size();
        m->wakePending_ = false;
    }
    std::size_t ran = 0;
    while (ran < count) {
        Item item;
        {
            std::lock_guard lock(m->mutex_);
            if (m->items_.empty()) {
                break;
            }
            item = std::move(m->items_.front());
            m->items_.pop_front();
        }
        HeldScope scope(item.as ? item.as : m);
        item.task();
        ++ran;
    }
    return ran;
}

void DispatchQueue::setMainWakeup(std::function<void()> wake) {
    std::lock_guard lock(gWakeMutex);
    gWake = std::move(wake);
}

bool runMainUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + timeout;
    DispatchQueue* m = DispatchQueue::main().get();
    for (;;) {
        DispatchQueue::drainMain();
        if (done()) {
            return true;
        }
        const auto now = clock::now();
        if (now >= deadline) {
            return false;
        }
        std::unique_lock lock(m->mutex_);
        m->mainCv_.wait_until(lock, std::min(deadline, now + std::chrono::milliseconds(10)),
                              [m] { return !m->items_.empty(); });
    }
}

}  // namespace vm
