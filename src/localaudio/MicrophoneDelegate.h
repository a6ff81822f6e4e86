#pragma once
// What a Microphone tells its delegate. Every method has an empty default.
#include "localaudio/AudioDevice.h"
#include "platform/audio/AudioTypes.h"

#include <cstdint>

namespace vm {

class Microphone;

class MicrophoneDelegate {
public:
    virtual ~MicrophoneDelegate() = default;
    virtual void microphoneChangedPlayingState(Microphone& microphone, bool isPlaying);
    virtual void microphoneChangedDevice(Microphone& microphone, const AudioDevice& device);
    virtual void microphoneHasAudioStreamBasicDescription(Microphone& microphone,
                                                          AudioStreamBasicDescription format);
    // On the capture thread: the captured slice in the microphone's stream format.
    virtual void microphoneHasBufferList(Microphone& microphone, AudioBufferList* bufferList,
                                         std::uint32_t bufferSize, std::uint32_t numberOfChannels);
    // Whether microphoneHasAudioReceived is wanted: the float conversion is done only for a
    // delegate that answers true.
    virtual bool takesFloatAudio() const;
    // On the capture thread: the captured slice as one float array per channel.
    virtual void microphoneHasAudioReceived(Microphone& microphone, float** buffer,
                                            std::uint32_t bufferSize,
                                            std::uint32_t numberOfChannels);
};

}  // namespace vm
