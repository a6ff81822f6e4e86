#include "localaudio/MicrophoneDelegate.h"

namespace vm {

void MicrophoneDelegate::microphoneChangedPlayingState(Microphone&, bool) {}
void MicrophoneDelegate::microphoneChangedDevice(Microphone&, const AudioDevice&) {}
void MicrophoneDelegate::microphoneHasAudioStreamBasicDescription(Microphone&,
                                                                  AudioStreamBasicDescription) {}
void MicrophoneDelegate::microphoneHasBufferList(Microphone&, AudioBufferList*, std::uint32_t,
                                                 std::uint32_t) {}
bool MicrophoneDelegate::takesFloatAudio() const { return false; }
void MicrophoneDelegate::microphoneHasAudioReceived(Microphone&, float**, std::uint32_t,
                                                    std::uint32_t) {}

}  // namespace vm
