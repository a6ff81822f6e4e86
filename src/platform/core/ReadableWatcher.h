#pragma once
// A thread of its own that waits for a descriptor to become readable (or to hang up) and then
// calls a function on that thread, until the function answers false or stop() is called.
#include <functional>
#include <thread>

namespace vm {

class ReadableWatcher {
public:
    // `revents` are poll()'s events for the descriptor: POLLIN, POLLHUP, POLLERR.
    using Handler = std::function<bool(short revents)>;

    ReadableWatcher() = default;
    ~ReadableWatcher() { stop(); }
    ReadableWatcher(const ReadableWatcher&) = delete;
    ReadableWatcher& operator=(const ReadableWatcher&) = delete;

    // False when a watch already runs or the thread's wake-up descriptor cannot be made.
    bool start(int fd, Handler handler);
    // Wakes the thread and waits for it to end; the handler is not called afterwards. Call it
    // from any thread but the watcher's own.
    void stop();
    bool running() const { return thread_.joinable(); }

private:
    void run(int fd, Handler handler);

    std::thread thread_;
    int wake_ = -1;  // an eventfd written by stop()
};

}  // namespace vm
