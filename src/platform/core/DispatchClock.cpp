#include "platform/core/DispatchClock.h"

#include "platform/core/Executor.h"

#include <atomic>

namespace vm {

namespace {
std::atomic<DispatchClock::rep> gOffset{0};
}

DispatchClock::time_point DispatchClock::now() noexcept {
    return time_point(std::chrono::steady_clock::now().time_since_epoch() +
                      duration(gOffset.load()));
}

void DispatchClock::advance(duration by) {
    gOffset.fetch_add(by.count());
    detail::Executor::shared().poke();
}

}  // namespace vm
