#pragma once
// The clock behind every dispatch timer and delayed task. It is the steady clock of the machine
// plus an offset that only tests move forward, so that behaviour driven by 5 s or 30 s timers runs
// at once without changing the product's constants.
#include <chrono>

namespace vm {

struct DispatchClock {
    using duration = std::chrono::steady_clock::duration;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<DispatchClock, duration>;
    static constexpr bool is_steady = true;

    static time_point now() noexcept;

    // Moves dispatch time forward by `by`: timers and delayed tasks that fall due fire at once,
    // each once (a repeating timer that missed several periods fires once, as a coalesced event).
    static void advance(duration by);
};

// Seconds as a double, the unit the radio's timers are written in.
using Seconds = std::chrono::duration<double>;

inline DispatchClock::duration toDuration(Seconds s) {
    return std::chrono::duration_cast<DispatchClock::duration>(s);
}

}  // namespace vm
