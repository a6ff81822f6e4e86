#pragma once
// What the meter displays need from the application's controller: the open radio, whose meters
// they show, the active slice, whose meters the S-meter reads, whether the radio transmits or
// tunes, which preferences tab is shown, the remote-audio engine's microphone levels, and the
// satellite tracker told of each new S-meter bar. Main thread only.
#include <memory>
#include <optional>

namespace vm {

class Radio;
class Slice;

class MeterDisplaysHost {
public:
    virtual ~MeterDisplaysHost() = default;

    virtual std::shared_ptr<Radio> openedRadio() const = 0;
    virtual std::shared_ptr<Slice> activeVFO() const = 0;
    virtual bool inTransmit() const = 0;
    // An automatic or a manual tune runs.
    virtual bool tuneInProgress() const = 0;
    // The preferences window is visible and shows that tab.
    virtual bool prefsPanelVisible(int tab) const = 0;
    // With remote audio on, the microphone's level and peak (dBfs) come from the remote-audio
    // engine (none while it is not running); otherwise from the radio's own microphone meters.
    virtual bool remoteAudioOn() const = 0;
    struct MicLevels {
        double level = 0.0;
        double peak = 0.0;
    };
    virtual std::optional<MicLevels> remoteMicLevels() const = 0;
    // The S-meter's bar (0 to 32) changed; the tracker hears of it while it runs.
    virtual void sMeterBarChanged(int bar) = 0;
};

}  // namespace vm
