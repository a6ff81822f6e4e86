#include "localaudio/AudioOutputDelegate.h"

#include "platform/audio/AudioUnit.h"

namespace vm {

OSStatus AudioOutputDataSource::outputShouldFillAudioBufferList(AudioOutput&,
                                                                AudioBufferList* bufferList,
                                                                std::uint32_t,
                                                                const AudioTimeStamp&) {
    silenceBufferList(bufferList);
    return 0;
}

void AudioOutputDelegate::outputChangedPlayingState(AudioOutput&, bool) {}
void AudioOutputDelegate::outputChangedDevice(AudioOutput&, const AudioDevice&) {}
bool AudioOutputDelegate::takesPlayedAudio() const { return false; }
void AudioOutputDelegate::outputPlayedAudio(AudioOutput&, float**, std::uint32_t, std::uint32_t) {}

}  // namespace vm
