#pragma once
// What an AudioOutput asks of the object that supplies its audio, and tells the object that
// watches it. Every method has a default: a data source that does not fill yields silence, and a
// delegate hears only what it overrides.
#include "localaudio/AudioDevice.h"
#include "platform/audio/AudioTypes.h"

#include <cstdint>

namespace vm {

class AudioOutput;

class AudioOutputDataSource {
public:
    virtual ~AudioOutputDataSource() = default;
    // Called on the render thread: fill `frames` frames of `bufferList`, in the output's input
    // format. The status goes back to the renderer unchanged.
    virtual OSStatus outputShouldFillAudioBufferList(AudioOutput& output,
                                                     AudioBufferList* bufferList,
                                                     std::uint32_t frames,
                                                     const AudioTimeStamp& timestamp);
};

class AudioOutputDelegate {
public:
    virtual ~AudioOutputDelegate() = default;
    virtual void outputChangedPlayingState(AudioOutput& output, bool isPlaying);
    virtual void outputChangedDevice(AudioOutput& output, const AudioDevice& device);
    // Whether outputPlayedAudio is wanted: converting each buffer to float costs, so only a
    // delegate that answers true gets it.
    virtual bool takesPlayedAudio() const;
    // Called on the render thread with each rendered buffer as one float array per channel.
    virtual void outputPlayedAudio(AudioOutput& output, float** buffer, std::uint32_t bufferSize,
                                   std::uint32_t numberOfChannels);
};

}  // namespace vm
