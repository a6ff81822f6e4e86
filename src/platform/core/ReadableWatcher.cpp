#include "platform/core/ReadableWatcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace vm {

bool ReadableWatcher::start(int fd, Handler handler) {
    if (thread_.joinable()) {
        return false;
    }
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) {
        return false;
    }
    thread_ = std::thread([this, fd, h = std::move(handler)]() mutable { run(fd, std::move(h)); });
    return true;
}

void ReadableWatcher::stop() {
    if (!thread_.joinable()) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
    thread_.join();
    ::close(wake_);
    wake_ = -1;
}

void ReadableWatcher::run(int fd, Handler handler) {
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {wake_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[1].revents != 0) {
            return;
        }
        if (fds[0].revents & POLLNVAL) {
            return;
        }
        if (fds[0].revents != 0 && !handler(fds[0].revents)) {
            return;
        }
    }
}

}  // namespace vm
