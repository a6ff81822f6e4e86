#include "platform/core/DispatchSource.h"

#include "platform/core/DispatchTimerTraits.h"
#include "platform/core/Executor.h"

#include <asio/posix/stream_descriptor.hpp>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace vm {

namespace detail {
struct DispatchSourceIo {
    std::optional<DispatchTimerType> timer;
    std::optional<asio::posix::stream_descriptor> descriptor;
};
}  // namespace detail

namespace {

unsigned long pendingBytes(int fd) {
    int available = 0;
    if (::ioctl(fd, FIONREAD, &available) != 0) {
        return 1;  // not a stream with a byte count (a listening socket): one event
    }
    return available > 0 ? static_cast<unsigned long>(available) : 0;
}

}  // namespace

DispatchSource::DispatchSource(Type type, int fd, DispatchQueuePtr queue)
    : type_(type),
      fd_(fd),
      queue_(std::move(queue)),
      io_(std::make_unique<detail::DispatchSourceIo>()) {}

std::shared_ptr<DispatchSource> DispatchSource::makeTimer(DispatchQueuePtr queue) {
    std::shared_ptr<DispatchSource> source(new DispatchSource(Type::Timer, -1, std::move(queue)));
    source->io_->timer.emplace(detail::Executor::shared().io());
    return source;
}

std::shared_ptr<DispatchSource> DispatchSource::makeDescriptor(Type type, int fd,
                                                               DispatchQueuePtr queue) {
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) {
        return nullptr;
    }
    std::shared_ptr<DispatchSource> source(new DispatchSource(type, fd, std::move(queue)));
    source->io_->descriptor.emplace(detail::Executor::shared().io(), copy);
    return source;
}

std::shared_ptr<DispatchSource> DispatchSource::makeRead(int fd, DispatchQueuePtr queue) {
    return makeDescriptor(Type::Read, fd, std::move(queue));
}

std::shared_ptr<DispatchSource> DispatchSource::makeWrite(int fd, DispatchQueuePtr queue) {
    return makeDescriptor(Type::Write, fd, std::move(queue));
}

DispatchSource::~DispatchSource() {
    std::error_code ignored;
    if (io_->descriptor) {
        io_->descriptor->close(ignored);
    }
    if (io_->timer) {
        io_->timer->cancel();
    }
}

void DispatchSource::setEventHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    if (!cancelled_) {
        eventHandler_ = std::move(handler);
    }
}

void DispatchSource::setCancelHandler(std::function<void()> handler) {
    std::lock_guard lock(mutex_);
    if (!cancelled_) {
        cancelHandler_ = std::move(handler);
    }
}

bool DispatchSource::isSuspended() const {
    std::lock_guard lock(mutex_);
    return suspended_;
}

bool DispatchSource::isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void DispatchSource::suspend() {
    std::lock_guard lock(mutex_);
    suspended_ = true;
}

void DispatchSource::resume() {
    std::lock_guard lock(mutex_);
    if (cancelled_ || !suspended_) {
        return;
    }
    suspended_ = false;
    if (type_ == Type::Timer) {
        if (pendingFires_ > 0) {
            queueTimerEvent();
        }
    } else if (!waiting_ && !eventQueued_) {
        armWait();
    }
}

void DispatchSource::cancel() {
    std::lock_guard lock(mutex_);
    if (cancelled_) {
        return;
    }
    cancelled_ = true;
    ++generation_;
    std::error_code ignored;
    if (io_->descriptor) {
        io_->descriptor->close(ignored);
    }
    if (io_->timer) {
        io_->timer->cancel();
    }
    queue_->async([self = shared_from_this()] {
        std::function<void()> onCancel;
        {
            std::lock_guard guard(self->mutex_);
            onCancel = std::move(self->cancelHandler_);
            self->cancelHandler_ = nullptr;
            self->eventHandler_ = nullptr;
        }
        if (onCancel) {
            onCancel();
        }
    });
}

// Descriptor sources --------------------------------------------------------------------------

void DispatchSource::armWait() {
    waiting_ = true;
    const auto what = type_ == Type::Read ? asio::posix::stream_descriptor::wait_read
                                          : asio::posix::stream_descriptor::wait_write;
    io_->descriptor->async_wait(what, [weak = weak_from_this()](const std::error_code& ec) {
        if (ec == asio::error::operation_aborted) {
            return;
        }
        if (auto self = weak.lock()) {
            self->onReady();
        }
    });
}

void DispatchSource::onReady() {
    std::lock_guard lock(mutex_);
    waiting_ = false;
    if (cancelled_ || suspended_) {
        return;  // resume() looks at the descriptor again
    }
    eventQueued_ = true;
    queue_->async([self = shared_from_this()] { self->deliverDescriptorEvent(); });
}

void DispatchSource::deliverDescriptorEvent() {
    std::function<void()> handler;
    {
        std::lock_guard lock(mutex_);
        eventQueued_ = false;
        if (cancelled_) {
            return;
        }
        if (suspended_) {
            return;
        }
        data_ = type_ == Type::Read ? pendingBytes(fd_) : 1;
        handler = eventHandler_;
    }
    if (handler) {
        handler();
    }
    std::lock_guard lock(mutex_);
    if (!cancelled_ && !suspended_ && !waiting_ && !eventQueued_) {
        armWait();
    }
}

// Timers ----------------------------------------------------------------------------------------

void DispatchSource::setTimer(DispatchClock::duration start,
                              std::optional<DispatchClock::duration> interval,
                              DispatchClock::duration /*leeway*/) {
    std::lock_guard lock(mutex_);
    if (cancelled_ || type_ != Type::Timer) {
        return;
    }
    nextFire_ = DispatchClock::now() + start;
    interval_ = interval && interval->count() > 0 ? interval : std::nullopt;
    pendingFires_ = 0;
    armTimer();
}

void DispatchSource::armTimer() {
    const unsigned long generation = ++generation_;
    io_->timer->expires_at(nextFire_);
    io_->timer->async_wait([weak = weak_from_this(), generation](const std::error_code& ec) {
        if (ec == asio::error::operation_aborted) {
            return;
        }
        if (auto self = weak.lock()) {
            self->onTimer(generation);
        }
    });
}

void DispatchSource::onTimer(unsigned long generation) {
    std::lock_guard lock(mutex_);
    if (cancelled_ || generation != generation_) {
        return;
    }
    unsigned long fires = 1;
    if (interval_) {
        const auto now = DispatchClock::now();
        if (now > nextFire_) {
            fires += static_cast<unsigned long>((now - nextFire_) / *interval_);
        }
        nextFire_ += *interval_ * static_cast<long>(fires);
        armTimer();
    }
    pendingFires_ += fires;
    if (!suspended_) {
        queueTimerEvent();
    }
}

void DispatchSource::queueTimerEvent() {
    if (eventQueued_) {
        return;
    }
    eventQueued_ = true;
    queue_->async([self = shared_from_this()] { self->deliverTimerEvent(); });
}

void DispatchSource::deliverTimerEvent() {
    std::function<void()> handler;
    {
        std::lock_guard lock(mutex_);
        eventQueued_ = false;
        if (cancelled_ || suspended_ || pendingFires_ == 0) {
            return;
        }
        data_ = pendingFires_;
        pendingFires_ = 0;
        handler = eventHandler_;
    }
    if (handler) {
        handler();
    }
}

}  // namespace vm
