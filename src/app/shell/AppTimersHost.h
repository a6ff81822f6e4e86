#pragma once
// What the controller's periodic timers ask of the application's controller: whether a radio is
// connected and has an active slice, the transmit state for the activity light, and the steps of
// each tick that work on its windows. The application's controller implements it; tests implement
// it in a few lines. Main thread only.
#include <string>

namespace vm {

class AppTimersHost {
public:
    virtual ~AppTimersHost() = default;

    // A radio is open and bound as this client's GUI (connection state 4).
    virtual bool radioConnected() const = 0;
    virtual bool hasActiveSlice() const = 0;
    virtual bool inTransmit() const = 0;
    // A radio is open and has VOX on.
    virtual bool voxEnabled() const = 0;

    // The heartbeat's steps before the VOX blink and the activity light: the logger's spots aged
    // and the logger tuned, the steppers and the active-slice pop-up, the uptime and the titles
    // of tabs and windows.
    virtual void refreshEachSecond() = 0;
    // With a radio connected and an active slice, each second: the quick recorder's playback
    // countdown and recording time of slices A and B, and the play button's flash.
    virtual void adjustQuickRecordDisplay() = 0;
    // 0.33 s after the heartbeat: each panadapter view's own heartbeat, and 0.33 s later its
    // waterfall's.
    virtual void panViewsHeartBeat(bool connected) = 0;
    // Each minute: the siblings' presence, the status line without a radio, and a frequency kept
    // for over a minute entered into its band stack.
    virtual void oneMinute() = 0;
    // A notice to the user (from the main queue).
    virtual void postUserNotification(const std::string& title, const std::string& text) = 0;
};

}  // namespace vm
