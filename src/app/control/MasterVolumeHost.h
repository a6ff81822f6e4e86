#pragma once
// The master volume, as the volume stepper and the tuning knob change it: with remote audio on,
// the computer's playback volume, 0 to 100 (none without a playback engine); setting it shows it in
// the speaker level control and stores it as "remote_audio_volume". Otherwise the radio's speaker
// and headphone levels as their controls show them, each only while its check box is on; setting
// one sends it to the radio (the speaker level is also stored as "local_audio_volume"). The
// application's controller implements it. Main thread only.
#include <optional>

namespace vm {

class MasterVolumeHost {
public:
    virtual ~MasterVolumeHost() = default;

    virtual bool remoteAudioOn() const = 0;
    virtual std::optional<double> remoteAudioVolume() const = 0;
    virtual void setRemoteAudioVolume(double volume) = 0;
    virtual std::optional<double> radioSpeakerVolume() const = 0;
    virtual void setRadioSpeakerVolume(int volume) = 0;
    virtual std::optional<double> radioHeadsetVolume() const = 0;
    virtual void setRadioHeadsetVolume(int volume) = 0;
};

}  // namespace vm
