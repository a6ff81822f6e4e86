#pragma once
// What the DoroControl knob drives outside its own preferences page: the slices it tunes and
// whose levels it changes, the master volume, the transmit button, the heads-up title that
// shows its lamps, the window it brings to the front, and the application's state when it
// closes. The application's controller implements it; tests implement it in a few lines. Called
// on the main thread only.
#include "app/control/MasterVolumeHost.h"

#include <memory>
#include <optional>

namespace vm {

class Slice;

class DoroControlHost : public MasterVolumeHost {
public:
    virtual ~DoroControlHost() = default;

    virtual bool debugEnabled() const = 0;
    // The application is quitting, or the computer is going to sleep.
    virtual bool isQuitting() const = 0;
    virtual bool isSleeping() const = 0;

    // --- Tuning: the open radio's active and alternate slices (none without them), and a slice
    // moved by a number of hertz as a tuning step of the display moves it.
    virtual bool radioIsOpen() const = 0;
    virtual std::shared_ptr<Slice> activeVFO() const = 0;
    virtual std::shared_ptr<Slice> alternateVFO() const = 0;
    virtual void fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) = 0;
    // The hertz of one tuning step for the keyboard modifiers held now.
    virtual double getFrequencyKeyModifier() const = 0;

    // --- The transmit button set on or off, then its action: the open radio transmits exactly
    // while the button is on.
    virtual void pressTransmitButton(bool on) = 0;
    // The heads-up title again, with the knob's lamps.
    virtual void adjustHudTitle() = 0;
    // The application in front, with the window of the panadapter that shows the active slice.
    virtual void bringUsFront() = 0;
};

}  // namespace vm
