#include "platform/core/ConditionWait.h"

#include <memory>

namespace vm {

namespace {

struct Wait : std::enable_shared_from_this<Wait> {
    DispatchQueuePtr queue;
    std::function<bool()> condition;
    DispatchClock::duration interval;
    DispatchClock::time_point deadline;
    std::function<void(bool)> done;

    void test() {
        if (condition()) {
            done(true);
            return;
        }
        queue->after(interval, [self = shared_from_this()] {
            if (DispatchClock::now() > self->deadline) {
                self->done(false);
            } else {
                self->test();
            }
        });
    }
};

struct Chain {
    std::size_t count = 0;
    std::function<void(std::size_t, std::function<void()>)> step;
    std::function<void()> finish;
};

// Each continuation holds the chain; the chain holds no continuation, so it goes with the last.
void runStep(const std::shared_ptr<Chain>& chain, std::size_t index) {
    if (index == chain->count) {
        chain->finish();
        return;
    }
    chain->step(index, [chain, index] { runStep(chain, index + 1); });
}

}  // namespace

void waitForCondition(const DispatchQueuePtr& queue, std::function<bool()> condition,
                      DispatchClock::duration interval, DispatchClock::duration timeout,
                      std::function<void(bool)> done) {
    auto wait = std::make_shared<Wait>();
    wait->queue = queue;
    wait->condition = std::move(condition);
    wait->interval = interval;
    wait->deadline = DispatchClock::now() + timeout;
    wait->done = std::move(done);
    queue->async([wait] { wait->test(); });
}

void runChain(std::size_t count,
              std::function<void(std::size_t step, std::function<void()> next)> step,
              std::function<void()> finish) {
    auto chain = std::make_shared<Chain>();
    chain->count = count;
    chain->step = std::move(step);
    chain->finish = std::move(finish);
    runStep(chain, 0);
}

}  // namespace vm
