#pragma once
// Dispatch sources: a timer, or a descriptor becoming readable or writable, delivered as an event
// handler call on a queue.
//
// A source starts suspended; resume() starts delivery. suspend() and resume() do not nest: a
// second suspend is a no-op, and one resume always restarts delivery. Events that come while the
// source is suspended wait for resume() (a timer counts them; a descriptor is simply looked at
// again). cancel() stops delivery for good; the cancel handler then runs on the queue exactly
// once, after any event handler already queued, and both handlers are dropped afterwards.
//
// A descriptor source waits on its own duplicate of the descriptor and closes that duplicate when
// it is cancelled or destroyed: cancel it before (or when) the descriptor itself is closed.
#include "platform/core/DispatchClock.h"
#include "platform/core/DispatchQueue.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

namespace vm {

namespace detail {
struct DispatchSourceIo;
}

class DispatchSource : public std::enable_shared_from_this<DispatchSource> {
public:
    enum class Type { Timer, Read, Write };

    static std::shared_ptr<DispatchSource> makeTimer(DispatchQueuePtr queue);
    // Returns nullptr when the descriptor cannot be watched (a bad descriptor).
    static std::shared_ptr<DispatchSource> makeRead(int fd, DispatchQueuePtr queue);
    static std::shared_ptr<DispatchSource> makeWrite(int fd, DispatchQueuePtr queue);

    void setEventHandler(std::function<void()> handler);
    void setCancelHandler(std::function<void()> handler);

    // Inside the event handler: for a read source, the bytes pending on the descriptor (0 on a
    // stream socket means the peer closed it; a listening socket reports 1); for a write source, 1;
    // for a timer, how many times it fired since the last event.
    unsigned long data() const { return data_.load(); }

    // Timer: first fire `start` from now, then every `interval` (none: fire once). A new call
    // replaces the schedule, so a time-out can be extended. Leeway lets the radio's timers fire
    // a little late; this implementation fires them on time.
    void setTimer(DispatchClock::duration start, std::optional<DispatchClock::duration> interval,
                  DispatchClock::duration leeway = {});

    void resume();
    void suspend();
    bool isSuspended() const;
    void cancel();
    bool isCancelled() const;

    Type type() const { return type_; }
    int fd() const { return fd_; }

    ~DispatchSource();
    DispatchSource(const DispatchSource&) = delete;
    DispatchSource& operator=(const DispatchSource&) = delete;

private:
    DispatchSource(Type type, int fd, DispatchQueuePtr queue);
    static std::shared_ptr<DispatchSource> makeDescriptor(Type type, int fd,
                                                          DispatchQueuePtr queue);
    void armWait();
    void onReady();
    void deliverDescriptorEvent();
    void armTimer();
    void onTimer(unsigned long generation);
    void deliverTimerEvent();
    void queueTimerEvent();

    const Type type_;
    const int fd_;
    const DispatchQueuePtr queue_;

    mutable std::mutex mutex_;
    std::unique_ptr<detail::DispatchSourceIo> io_;
    std::function<void()> eventHandler_;
    std::function<void()> cancelHandler_;
    bool suspended_ = true;
    bool cancelled_ = false;
    bool waiting_ = false;      // a descriptor wait is outstanding
    bool eventQueued_ = false;  // an event task is on the queue and has not run
    std::atomic<unsigned long> data_{0};

    DispatchClock::time_point nextFire_{};
    std::optional<DispatchClock::duration> interval_;
    unsigned long generation_ = 0;
    unsigned long pendingFires_ = 0;
};

using DispatchSourcePtr = std::shared_ptr<DispatchSource>;

}  // namespace vm
