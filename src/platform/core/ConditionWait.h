#pragma once
// Waiting without holding a thread. A condition is tested at once and then once per interval by
// a delayed task on a queue, until it holds or the time-out has passed; steps that each end in
// such a wait run one after another as a chain of tasks. The queue stays free for other work in
// between, and time is read on DispatchClock, so tests move it instead of waiting.
#include "platform/core/DispatchClock.h"
#include "platform/core/DispatchQueue.h"

#include <cstddef>
#include <functional>

namespace vm {

// `condition` and `done` run on `queue`. `done(true)` as soon as the condition holds;
// `done(false)` at the first test after more than `timeout` has passed since the call.
void waitForCondition(const DispatchQueuePtr& queue, std::function<bool()> condition,
                      DispatchClock::duration interval, DispatchClock::duration timeout,
                      std::function<void(bool)> done);

// Runs `step(0, next)`, and `step(i + 1, next)` when step i calls its `next`, up to step
// `count - 1`; `finish` runs when the last step calls `next`. A step that never calls `next`
// ends the chain.
void runChain(std::size_t count,
              std::function<void(std::size_t step, std::function<void()> next)> step,
              std::function<void()> finish);

}  // namespace vm
