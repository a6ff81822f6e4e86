// The keep-alive: a "ping" every second; a warning after 5 s without a ping reply, state 7 (timed
// out) after 30 s. The connection itself stays open; the app controller ends the session.
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Radio.h"

#include <chrono>

namespace vm {

void Radio::startPingTimer() {
    stopPingTimer();
    // Until the first reply the elapsed time counts from here, so a new session is not timed out
    // before its first ping could be answered.
    pingBase_ = DispatchClock::now();
    auto timer = DispatchSource::makeTimer(radioRunQueue());
    timer->setEventHandler([weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->pingTimerFired();
        }
    });
    timer->setTimer(DispatchClock::duration::zero(), std::chrono::seconds(1),
                    std::chrono::milliseconds(100));
    pingTimer.store(timer);
    timer->resume();
}

void Radio::stopPingTimer() {
    if (const DispatchSourcePtr timer = pingTimer()) {
        timer->cancel();
        pingTimer.store(nullptr);
    }
}

void Radio::pingTimerFired() {
    if (!pingTimer()) {
        return;  // a tick queued before the timer was stopped
    }
    const auto last = lastPingRxtime().value_or(pingBase_);
    const double elapsed = Seconds(DispatchClock::now() - last).count();
    if (elapsed > kPingWarning) {
        log("Radio:pingTimerFired:Warning: {} last seen {:0.2f} seconds ago", radioNameForLog(),
            elapsed);
    }
    if (elapsed <= kPingTimeout) {
        commandToRadio("ping", &Radio::pingResponseCallback);
        return;
    }
    log("Radio:pingTimerFired:Timeout: {} last seen {:0.2f} seconds ago, sending radioTimedOut "
        "radio "
        "connection state change",
        radioNameForLog(), elapsed);
    setConnectionState(kStateTimedOut);
    stopPingTimer();
}

// Any reply counts, whatever its code. The time is in place at once for the next tick; observers
// hear of it on the main queue. The notification is posted on this queue.
void Radio::pingResponseCallback(const std::string& /*response*/) {
    lastPingRxtime.store(DispatchClock::now());
    DispatchQueue::main()->async([self = shared_from_this()] { self->lastPingRxtime.announce(); });
    NotificationCenter::defaultCenter().post("com.velmorasoftware.doro.remote_radio_vita_pinged",
                                             shared_from_this());
}

}  // namespace vm
