#pragma once
// A mixer with one input bus: it pulls bus 0 and renders it with a volume and a pan (balance) of
// its own. Formats are 32-bit float, one buffer per channel, mono or stereo; a mono input feeds
// both sides of a stereo output.
#include "platform/audio/AudioUnit.h"

#include <atomic>
#include <vector>

namespace vm {

constexpr std::uint32_t kStereoMixerParam_Volume = 0;  // 0 to 1
constexpr std::uint32_t kStereoMixerParam_Pan = 1;     // -1 (left) to 1 (right)

class StereoMixerUnit : public AudioUnit {
public:
    StereoMixerUnit() : AudioUnit(AudioUnitKind::StereoMixer) {}

    OSStatus setStreamFormat(AudioUnitScope scope, std::uint32_t element,
                             const AudioStreamBasicDescription& format) override;
    OSStatus setMaximumFramesPerSlice(std::uint32_t frames) override;
    // Volume and pan, input scope, element 0.
    OSStatus setParameter(std::uint32_t id, AudioUnitScope scope, std::uint32_t element,
                          float value) override;
    OSStatus getParameter(std::uint32_t id, AudioUnitScope scope, std::uint32_t element,
                          float* value) override;

protected:
    OSStatus renderBus(AudioUnitRenderActionFlags* ioActionFlags, const AudioTimeStamp& timeStamp,
                       std::uint32_t bus, std::uint32_t frames, AudioBufferList* ioData) override;

private:
    void allocateScratch();

    std::atomic<float> volume_{1.0f};
    std::atomic<float> pan_{0.0f};
    std::uint32_t inputChannels_ = 2;
    std::uint32_t outputChannels_ = 2;
    std::vector<std::vector<float>> scratch_;  // input channels, used when the counts differ
    std::vector<std::uint8_t> scratchList_;
};

}  // namespace vm
