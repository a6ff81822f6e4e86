#pragma once
// A thread that runs its owner's work each time it is woken. wake() suits a real-time audio
// callback: an atomic add and a notify, no lock and no allocation. Wake-ups that come while the
// work runs fold into one more round. waitUntilIdle() returns once the work has run after every
// wake-up made before the call.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace vm {

class WakeThread {
public:
    explicit WakeThread(std::function<void()> work);
    // Stops the thread (see stop()).
    ~WakeThread();
    WakeThread(const WakeThread&) = delete;
    WakeThread& operator=(const WakeThread&) = delete;

    void wake();
    void waitUntilIdle();
    // Lets a round under way finish, then ends and joins the thread; the work never runs again.
    // The owner calls it before it tears down what the work uses. Idempotent.
    void stop();

private:
    void run();

    const std::function<void()> work_;
    std::atomic<std::uint32_t> woken_{0};
    std::atomic<std::uint32_t> handled_{0};
    std::atomic<bool> stopping_{false};
    std::mutex idleMutex_;
    std::condition_variable idle_;
    std::thread thread_;  // last: it starts once the rest is made
};

}  // namespace vm
