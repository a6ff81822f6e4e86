#pragma once
// What the CWX room needs of the application controller: the open radio session, the debug
// setting, the mode of the transmitting slice, the output device chosen in the Audio tab and the
// CW sliders. The application's controller implements it; tests implement it in a few lines.
// Main thread only.
#include "platform/audio/AudioTypes.h"

#include <memory>
#include <optional>
#include <string>

namespace vm {

class Radio;

class CwxHost {
public:
    virtual ~CwxHost() = default;
    virtual std::shared_ptr<Radio> sessionRadio() const = 0;
    // The debug check box is on: the keyer's handlers write their debug lines.
    virtual bool debugEnabled() const = 0;
    // The mode of the transmitting slice ("CW", "USB"...); empty without one.
    virtual std::string transmitMode() const = 0;
    // The output device chosen for the computer's audio and the title it is shown with; none for
    // the system's current output.
    struct OutputChoice {
        AudioDeviceID device = kAudioObjectUnknown;
        std::string title;
    };
    virtual std::optional<OutputChoice> outputDeviceChoice() const = 0;
    // The CW pitch (Hz), speed (words per minute) and side-tone gain (0 to 100) sliders.
    struct SideToneSettings {
        double pitch = 600;
        int wpm = 20;
        int gain = 50;
    };
    virtual SideToneSettings sideToneSettings() const = 0;
};

}  // namespace vm
