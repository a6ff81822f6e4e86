#include "localaudio/AudioOutput.h"

#include "localaudio/AudioUtilities.h"
#include "platform/audio/StereoMixerUnit.h"

namespace vm {

AudioOutput::AudioOutput() : info_(std::make_unique<AudioOutputInfo>()) { setup(); }

AudioOutput::AudioOutput(std::weak_ptr<AudioOutputDataSource> dataSource) : AudioOutput() {
    setDataSource(std::move(dataSource));
}

AudioOutput::AudioOutput(std::weak_ptr<AudioOutputDataSource> dataSource,
                         const AudioStreamBasicDescription& inputFormat)
    : AudioOutput(std::move(dataSource)) {
    setInputFormat(inputFormat);
}

AudioOutput::~AudioOutput() {
    {
        std::lock_guard lock(floatStateMutex_);
        freeFloatState();
    }
    AudioGraph* graph = info_->graph.get();
    AudioUtilities::checkResult(graph->stop(), "Failed to stop graph");
    AudioUtilities::checkResult(graph->close(), "Failed to close graph");
    info_->graph.reset();
}

std::shared_ptr<AudioOutput> AudioOutput::output() { return std::make_shared<AudioOutput>(); }

std::shared_ptr<AudioOutput> AudioOutput::outputWithDataSource(
    std::weak_ptr<AudioOutputDataSource> dataSource) {
    return std::make_shared<AudioOutput>(std::move(dataSource));
}

std::shared_ptr<AudioOutput> AudioOutput::outputWithDataSource(
    std::weak_ptr<AudioOutputDataSource> dataSource,
    const AudioStreamBasicDescription& inputFormat) {
    return std::make_shared<AudioOutput>(std::move(dataSource), inputFormat);
}

std::shared_ptr<AudioOutput> AudioOutput::sharedOutput() {
    static const std::shared_ptr<AudioOutput> shared = std::make_shared<AudioOutput>();
    return shared;
}

AudioStreamBasicDescription AudioOutput::defaultClientFormat() {
    return AudioUtilities::stereoFloatNonInterleavedFormatWithSampleRate(44100);
}

AudioStreamBasicDescription AudioOutput::defaultInputFormat() {
    return AudioUtilities::stereoFloatNonInterleavedFormatWithSampleRate(44100);
}

void AudioOutput::setup() {
    AudioOutputInfo& info = *info_;
    info.graph = std::make_unique<AudioGraph>();
    AudioGraph* graph = info.graph.get();
    // Making the graph object cannot fail; the steps below report their own failures.
    AudioUtilities::checkResult(
        graph->addNode(AudioUnitKind::Converter, &info.converterNodeInfo.node),
        "Failed to add converter node to audio graph");
    AudioUtilities::checkResult(
        graph->addNode(AudioUnitKind::StereoMixer, &info.mixerNodeInfo.node),
        "Failed to add mixer node to audio graph");
    AudioUtilities::checkResult(graph->addNode(outputAudioUnitSubType(), &info.outputNodeInfo.node),
                                "Failed to add output node to audio graph");
    AudioUtilities::checkResult(graph->open(), "Failed to open graph");
    AudioUtilities::checkResult(
        connectOutputOfSourceNode(info.converterNodeInfo.node, 0, info.mixerNodeInfo.node, 0,
                                  graph),
        "Failed to connect output of source node to destination node in graph");
    AudioUtilities::checkResult(
        graph->connectNodeInput(info.mixerNodeInfo.node, 0, info.outputNodeInfo.node, 0),
        "Failed to connect mixer node to output node");
    AudioUtilities::checkResult(
        graph->nodeInfo(info.converterNodeInfo.node, &info.converterNodeInfo.audioUnit),
        "Failed to get converter audio unit");
    AudioUtilities::checkResult(
        graph->nodeInfo(info.mixerNodeInfo.node, &info.mixerNodeInfo.audioUnit),
        "Failed to get mixer audio unit");
    AudioUtilities::checkResult(
        graph->nodeInfo(info.outputNodeInfo.node, &info.outputNodeInfo.audioUnit),
        "Failed to get output audio unit");
    AudioUnit* converter = converterAudioUnit();
    AudioUnit* mixer = mixerAudioUnit();
    if (!converter || !mixer || !outputAudioUnit()) {
        return;  // reported above; an output without units stays silent
    }
    AudioUtilities::checkResult(
        converter->setRenderCallback(
            0, [this](AudioUnitRenderActionFlags*, const AudioTimeStamp& time, std::uint32_t,
                      std::uint32_t frames,
                      AudioBufferList* ioData) { return converterInput(ioData, frames, time); }),
        "Failed to set render callback on converter node");
    setClientFormat(defaultClientFormat());
    setInputFormat(defaultInputFormat());
    setDevice(AudioDevice::currentOutputDevice());
    AudioUtilities::checkResult(mixer->setMaximumFramesPerSlice(kFloatBufferFrames),
                                "Failed to set maximum frames per slice on mixer node");
    AudioUtilities::checkResult(graph->initialize(), "Failed to initialize graph");
    AudioUtilities::checkResult(
        mixer->addRenderNotify([this](AudioUnitRenderActionFlags* flags, const AudioTimeStamp&,
                                      std::uint32_t, std::uint32_t frames,
                                      AudioBufferList* ioData) {
            return graphRenderNotify(flags ? *flags : 0, frames, ioData);
        }),
        "Failed to add render callback");
}

OSStatus AudioOutput::connectOutputOfSourceNode(AUNode sourceNode,
                                                std::uint32_t sourceNodeOutputBus,
                                                AUNode destinationNode,
                                                std::uint32_t destinationNodeInputBus,
                                                AudioGraph* graph) {
    const OSStatus status = graph->connectNodeInput(sourceNode, sourceNodeOutputBus,
                                                    destinationNode, destinationNodeInputBus);
    AudioUtilities::checkResult(status, "Failed to connect converter node to mixer node");
    return status;
}

void AudioOutput::tellPlayingState() {
    if (auto delegate = this->delegate()) {
        delegate->outputChangedPlayingState(*this, isPlaying());
    }
}

void AudioOutput::startPlayback() {
    AudioUtilities::checkResult(graph()->start(), "Failed to start graph");
    tellPlayingState();
}

void AudioOutput::stopPlayback() {
    AudioUtilities::checkResult(graph()->stop(), "Failed to stop graph");
    tellPlayingState();
}

bool AudioOutput::isPlaying() const {
    bool running = false;
    AudioUtilities::checkResult(graph()->isRunning(&running),
                                "Failed to check if graph is running");
    return running;
}

void AudioOutput::setInputFormat(const AudioStreamBasicDescription& inputFormat) {
    info_->inputFormat = inputFormat;
    if (AudioUnit* converter = converterAudioUnit()) {
        AudioUtilities::checkResult(
            converter->setStreamFormat(AudioUnitScope::Input, 0, inputFormat),
            "Failed to set input format on converter audio unit");
    }
}

void AudioOutput::freeFloatState() {
    if (floatConverter_) {
        floatConverter_.reset();
        AudioUtilities::freeFloatBuffers(info_->floatData, info_->clientFormat.mChannelsPerFrame);
        info_->floatData = nullptr;
    }
}

void AudioOutput::setClientFormat(const AudioStreamBasicDescription& clientFormat) {
    std::lock_guard lock(floatStateMutex_);
    freeFloatState();
    info_->clientFormat = clientFormat;
    AudioUtilities::checkResult(
        converterAudioUnit()->setStreamFormat(AudioUnitScope::Output, 0, clientFormat),
        "Failed to set output client format on converter audio unit");
    AudioUtilities::checkResult(
        mixerAudioUnit()->setStreamFormat(AudioUnitScope::Input, 0, clientFormat),
        "Failed to set input client format on mixer audio unit");
    AudioUtilities::checkResult(
        mixerAudioUnit()->setStreamFormat(AudioUnitScope::Output, 0, clientFormat),
        "Failed to set output client format on mixer audio unit");
    floatConverter_ = AudioFloatConverter::converterWithInputFormat(clientFormat);
    info_->floatData = AudioUtilities::floatBuffersWithNumberOfFrames(
        kFloatBufferFrames, clientFormat.mChannelsPerFrame);
}

void AudioOutput::setDevice(const AudioDevice& device) {
    HALOutputUnit* unit = outputAudioUnit();
    AudioUtilities::checkResult(
        unit->setEnableIO(AudioUnitScope::Output, HALOutputUnit::kOutputElement,
                          device.outputChannelCount() > 0),
        "Failed to set flag on device output");
    AudioUtilities::checkResult(unit->setCurrentDevice(device.deviceID()),
                                "Couldn't set default device on I/O unit");
    device_ = device;
    if (auto delegate = this->delegate()) {
        delegate->outputChangedDevice(*this, device_);
    }
}

void AudioOutput::setVolume(float volume) {
    AudioUtilities::checkResult(
        mixerAudioUnit()->setParameter(kStereoMixerParam_Volume, AudioUnitScope::Input, 0, volume),
        "Failed to set volume on mixer unit");
}

float AudioOutput::volume() const {
    float volume = 0;
    AudioUtilities::checkResult(
        mixerAudioUnit()->getParameter(kStereoMixerParam_Volume, AudioUnitScope::Input, 0, &volume),
        "Failed to get volume from mixer unit");
    return volume;
}

void AudioOutput::setPan(float pan) {
    AudioUtilities::checkResult(
        mixerAudioUnit()->setParameter(kStereoMixerParam_Pan, AudioUnitScope::Input, 0, pan),
        "Failed to set pan on mixer unit");
}

float AudioOutput::pan() const {
    float pan = 0;
    AudioUtilities::checkResult(
        mixerAudioUnit()->getParameter(kStereoMixerParam_Pan, AudioUnitScope::Input, 0, &pan),
        "Failed to get pan from mixer unit");
    return pan;
}

OSStatus AudioOutput::converterInput(AudioBufferList* ioData, std::uint32_t frames,
                                     const AudioTimeStamp& time) {
    if (auto source = dataSource()) {
        return source->outputShouldFillAudioBufferList(*this, ioData, frames, time);
    }
    silenceBufferList(ioData);
    return 0;
}

OSStatus AudioOutput::graphRenderNotify(AudioUnitRenderActionFlags flags, std::uint32_t frames,
                                        AudioBufferList* ioData) {
    if (!(flags & kAudioUnitRenderAction_PostRender)) {
        return 0;
    }
    auto delegate = this->delegate();
    if (!delegate || !delegate->takesPlayedAudio()) {
        return 0;
    }
    std::unique_lock lock(floatStateMutex_, std::try_to_lock);
    if (!lock || !floatConverter_ || !info_->floatData) {
        return 0;
    }
    const std::uint32_t bytesPerFrame = info_->clientFormat.mBytesPerFrame;
    const std::uint32_t framesToConvert = std::min(
        bytesPerFrame ? ioData->mBuffers[0].mDataByteSize / bytesPerFrame : 0, kFloatBufferFrames);
    floatConverter_->convertDataFromAudioBufferList(ioData, framesToConvert, info_->floatData);
    delegate->outputPlayedAudio(*this, info_->floatData, std::min(frames, kFloatBufferFrames),
                                info_->clientFormat.mChannelsPerFrame);
    return 0;
}

}  // namespace vm
