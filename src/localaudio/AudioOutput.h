#pragma once
// Plays audio that a data source supplies on demand, on one sound device, through a graph of
// three units: a format converter (the data source's format to the mixer's), a stereo mixer
// (volume and pan) and the device I/O unit. Each rendered buffer can be handed, as float, to a
// delegate.
#include "localaudio/AtomicWeakPtr.h"
#include "localaudio/AudioDevice.h"
#include "localaudio/AudioFloatConverter.h"
#include "localaudio/AudioOutputDelegate.h"
#include "platform/audio/AudioGraph.h"
#include "platform/audio/HALOutputUnit.h"

#include <memory>
#include <mutex>

namespace vm {

struct AudioNodeInfo {
    AudioUnit* audioUnit = nullptr;
    AUNode node = -1;
};

struct AudioOutputInfo {
    AudioStreamBasicDescription inputFormat{};
    AudioStreamBasicDescription clientFormat{};
    float** floatData = nullptr;
    AudioNodeInfo converterNodeInfo;
    AudioNodeInfo mixerNodeInfo;
    AudioNodeInfo outputNodeInfo;
    std::unique_ptr<AudioGraph> graph;
};

class AudioOutput {
public:
    // Float buffers handed to the delegate hold this many frames, the mixer's largest slice.
    static constexpr std::uint32_t kFloatBufferFrames = 4096;

    AudioOutput();
    explicit AudioOutput(std::weak_ptr<AudioOutputDataSource> dataSource);
    AudioOutput(std::weak_ptr<AudioOutputDataSource> dataSource,
                const AudioStreamBasicDescription& inputFormat);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    static std::shared_ptr<AudioOutput> output();
    static std::shared_ptr<AudioOutput> outputWithDataSource(
        std::weak_ptr<AudioOutputDataSource> dataSource);
    static std::shared_ptr<AudioOutput> outputWithDataSource(
        std::weak_ptr<AudioOutputDataSource> dataSource,
        const AudioStreamBasicDescription& inputFormat);
    static std::shared_ptr<AudioOutput> sharedOutput();

    std::shared_ptr<AudioOutputDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(std::weak_ptr<AudioOutputDataSource> dataSource) {
        dataSource_.store(std::move(dataSource));
    }
    std::shared_ptr<AudioOutputDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<AudioOutputDelegate> delegate) {
        delegate_.store(std::move(delegate));
    }

    void startPlayback();
    void stopPlayback();
    bool isPlaying() const;

    void setInputFormat(const AudioStreamBasicDescription& inputFormat);
    AudioStreamBasicDescription inputFormat() const { return info_->inputFormat; }
    void setClientFormat(const AudioStreamBasicDescription& clientFormat);
    AudioStreamBasicDescription clientFormat() const { return info_->clientFormat; }

    const AudioDevice& device() const { return device_; }
    void setDevice(const AudioDevice& device);

    void setVolume(float volume);
    float volume() const;
    void setPan(float pan);
    float pan() const;

    OSStatus connectOutputOfSourceNode(AUNode sourceNode, std::uint32_t sourceNodeOutputBus,
                                       AUNode destinationNode,
                                       std::uint32_t destinationNodeInputBus, AudioGraph* graph);

    static AudioStreamBasicDescription defaultClientFormat();
    static AudioStreamBasicDescription defaultInputFormat();
    static AudioUnitKind outputAudioUnitSubType() { return AudioUnitKind::HALOutput; }

    std::shared_ptr<AudioFloatConverter> floatConverter() const { return floatConverter_; }
    AudioOutputInfo* info() const { return info_.get(); }
    AudioGraph* graph() const { return info_->graph.get(); }
    AudioUnit* converterAudioUnit() const { return info_->converterNodeInfo.audioUnit; }
    AudioUnit* mixerAudioUnit() const { return info_->mixerNodeInfo.audioUnit; }
    HALOutputUnit* outputAudioUnit() const {
        return static_cast<HALOutputUnit*>(info_->outputNodeInfo.audioUnit);
    }

private:
    void setup();
    void tellPlayingState();
    void freeFloatState();
    OSStatus converterInput(AudioBufferList* ioData, std::uint32_t frames,
                            const AudioTimeStamp& time);
    OSStatus graphRenderNotify(AudioUnitRenderActionFlags flags, std::uint32_t frames,
                               AudioBufferList* ioData);

    AtomicWeakPtr<AudioOutputDataSource> dataSource_;
    AtomicWeakPtr<AudioOutputDelegate> delegate_;
    AudioDevice device_;
    std::shared_ptr<AudioFloatConverter> floatConverter_;
    std::unique_ptr<AudioOutputInfo> info_;
    // Held while the float converter and buffers are replaced; the render notification only
    // tries it, and skips a buffer rather than wait.
    std::mutex floatStateMutex_;
};

}  // namespace vm
