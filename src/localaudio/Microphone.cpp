#include "localaudio/Microphone.h"

#include "localaudio/AudioUtilities.h"
#include "localaudio/RingBufferAudioBufferList.h"

#include <algorithm>
#include <cstring>

namespace vm {

Microphone::Microphone() : info_(std::make_unique<MicrophoneInfo>()) { setup(); }

Microphone::Microphone(std::weak_ptr<MicrophoneDelegate> delegate)
    : info_(std::make_unique<MicrophoneInfo>()) {
    setDelegate(std::move(delegate));
    setup();
}

Microphone::Microphone(std::weak_ptr<MicrophoneDelegate> delegate, bool startsImmediately)
    : Microphone(std::move(delegate)) {
    if (startsImmediately) {
        startFetchingAudio();
    }
}

Microphone::Microphone(std::weak_ptr<MicrophoneDelegate> delegate,
                       const AudioStreamBasicDescription& format)
    : Microphone(std::move(delegate)) {
    setAudioStreamBasicDescription(format);
}

Microphone::Microphone(std::weak_ptr<MicrophoneDelegate> delegate,
                       const AudioStreamBasicDescription& format, bool startsImmediately)
    : Microphone(std::move(delegate), format) {
    if (startsImmediately) {
        startFetchingAudio();
    }
}

Microphone::~Microphone() {
    if (info_->audioUnit) {
        AudioUtilities::checkResult(info_->audioUnit->uninitialize(),
                                    "Failed to unintialize audio unit for microphone");
    }
    freeCaptureState();
    if (monitorRingStorage_) {
        RingBufferCleanup(monitorRingStorage_.get());
    }
}

std::shared_ptr<Microphone> Microphone::microphoneWithDelegate(
    std::weak_ptr<MicrophoneDelegate> delegate) {
    return std::make_shared<Microphone>(std::move(delegate));
}

std::shared_ptr<Microphone> Microphone::microphoneWithDelegate(
    std::weak_ptr<MicrophoneDelegate> delegate, bool startsImmediately) {
    return std::make_shared<Microphone>(std::move(delegate), startsImmediately);
}

std::shared_ptr<Microphone> Microphone::microphoneWithDelegate(
    std::weak_ptr<MicrophoneDelegate> delegate, const AudioStreamBasicDescription& format) {
    return std::make_shared<Microphone>(std::move(delegate), format);
}

std::shared_ptr<Microphone> Microphone::microphoneWithDelegate(
    std::weak_ptr<MicrophoneDelegate> delegate, const AudioStreamBasicDescription& format,
    bool startsImmediately) {
    return std::make_shared<Microphone>(std::move(delegate), format, startsImmediately);
}

std::shared_ptr<Microphone> Microphone::sharedMicrophone() {
    static const std::shared_ptr<Microphone> shared = std::make_shared<Microphone>();
    return shared;
}

void Microphone::setup() {
    std::unique_ptr<AudioUnit> unit;
    AudioUtilities::checkResult(AudioUnit::make(AudioUnitKind::HALOutput, &unit),
                                "Failed to get audio component instance");
    if (!unit) {
        return;
    }
    info_->audioUnit.reset(static_cast<HALOutputUnit*>(unit.release()));
    applyDevice(AudioDevice::currentInputDevice());
    readInputFormat();
    applyStreamFormat(defaultStreamFormat());
    AudioUtilities::checkResult(
        audioUnit()->setInputCallback(
            [this](AudioUnitRenderActionFlags* flags, const AudioTimeStamp& time, std::uint32_t bus,
                   std::uint32_t frames,
                   AudioBufferList*) { return inputCallback(flags, time, bus, frames); }),
        "Failed to set render callback");
    AudioUtilities::checkResult(audioUnit()->initialize(), "Failed to initialize input unit");
    setUp_ = true;
}

void Microphone::readInputFormat() {
    AudioUtilities::checkResult(
        audioUnit()->getStreamFormat(AudioUnitScope::Input, HALOutputUnit::kInputElement,
                                     &info_->inputFormat),
        "Failed to get stream format of microphone input scope");
}

AudioStreamBasicDescription Microphone::defaultStreamFormat() const {
    return AudioUtilities::floatFormatWithNumberOfChannels(std::uint32_t(numberOfChannels()),
                                                           float(info_->inputFormat.mSampleRate));
}

void Microphone::startFetchingAudio() {
    AudioUtilities::checkResult(audioUnit()->start(), "Failed to start audio unit for microphone");
    if (auto delegate = this->delegate()) {
        delegate->microphoneChangedPlayingState(*this, true);
    }
}

void Microphone::stopFetchingAudio() {
    AudioUtilities::checkResult(audioUnit()->stop(), "Failed to stop audio unit for microphone");
    if (auto delegate = this->delegate()) {
        delegate->microphoneChangedPlayingState(*this, false);
    }
}

void Microphone::setMicrophoneOn(bool on) {
    microphoneOn_ = on;
    if (on) {
        startFetchingAudio();
    } else {
        stopFetchingAudio();
    }
}

void Microphone::freeCaptureState() {
    AudioUtilities::freeBufferList(info_->audioBufferList);
    info_->audioBufferList = nullptr;
    AudioUtilities::freeFloatBuffers(info_->floatData, info_->streamFormat.mChannelsPerFrame);
    info_->floatData = nullptr;
}

void Microphone::setAudioStreamBasicDescription(const AudioStreamBasicDescription& format) {
    streamFormatIsDefault_ = false;
    applyStreamFormat(format);
}

void Microphone::applyStreamFormat(const AudioStreamBasicDescription& format) {
    {
        std::lock_guard lock(captureStateMutex_);
        if (floatConverter_) {
            freeCaptureState();
        }
        info_->streamFormat = format;
        AudioUtilities::checkResult(
            audioUnit()->setStreamFormat(AudioUnitScope::Input, HALOutputUnit::kOutputElement,
                                         format),
            "Failed to set stream format on input scope");
        AudioUtilities::checkResult(
            audioUnit()->setStreamFormat(AudioUnitScope::Output, HALOutputUnit::kInputElement,
                                         format),
            "Failed to set stream format on output scope");
        const std::uint32_t frames = maximumBufferSize();
        floatConverter_ = AudioFloatConverter::converterWithInputFormat(format);
        info_->floatData =
            AudioUtilities::floatBuffersWithNumberOfFrames(frames, format.mChannelsPerFrame);
        info_->audioBufferList = AudioUtilities::audioBufferListWithNumberOfFrames(
            frames, format.mChannelsPerFrame, AudioUtilities::isInterleaved(format));
        // Slices of the old format still on their way to the output are dropped.
        monitorBytesPerFrame_ = format.mBytesPerFrame;
        if (RingBuffer* ring = monitorRing_.load()) {
            RingBufferRequestClear(ring);
        }
    }
    if (output_) {
        output_->setInputFormat(format);
    }
    if (auto delegate = this->delegate()) {
        delegate->microphoneHasAudioStreamBasicDescription(*this, format);
    }
}

std::uint32_t Microphone::maximumBufferSize() const {
    std::uint32_t frames = 0;
    AudioUtilities::checkResult(audioUnit()->getMaximumFramesPerSlice(&frames),
                                "Failed to get maximum number of frames per slice");
    return frames;
}

void Microphone::applyDevice(const AudioDevice& device) {
    HALOutputUnit* unit = audioUnit();
    AudioUtilities::checkResult(
        unit->setEnableIO(AudioUnitScope::Input, HALOutputUnit::kInputElement,
                          device.inputChannelCount() > 0),
        "Failed to set flag on device input");
    AudioUtilities::checkResult(
        unit->setEnableIO(AudioUnitScope::Output, HALOutputUnit::kOutputElement,
                          device.outputChannelCount() > 0),
        "Failed to set flag on device output");
    AudioUtilities::checkResult(unit->setCurrentDevice(device.deviceID()),
                                "Couldn't set default device on I/O unit");
    device_ = device;
    if (auto delegate = this->delegate()) {
        delegate->microphoneChangedDevice(*this, device_);
    }
}

void Microphone::setDevice(const AudioDevice& device) {
    if (!setUp_) {
        applyDevice(device);
        return;
    }
    // The capture buffers and the converter depend on the device's format: rebuild them while
    // capture is paused.
    HALOutputUnit* unit = audioUnit();
    const bool wasRunning = unit->isRunning();
    if (wasRunning) {
        unit->stop();
    }
    applyDevice(device);
    readInputFormat();
    applyStreamFormat(streamFormatIsDefault_ ? defaultStreamFormat() : info_->streamFormat);
    if (wasRunning) {
        AudioUtilities::checkResult(unit->start(), "Failed to start audio unit for microphone");
    }
}

void Microphone::setOutput(std::shared_ptr<AudioOutput> output) {
    if (output && !monitorRingStorage_) {
        // A quarter second of the largest slices at the largest frames the buffers hold.
        auto ring = std::make_unique<RingBuffer>();
        const std::uint64_t bytes = std::max<std::uint64_t>(
            std::uint64_t(maximumBufferSize()) * 4 *
                std::max<std::uint32_t>(1, info_->streamFormat.mChannelsPerFrame) * 4,
            65536);
        if (RingBufferInit(ring.get(), std::uint32_t(std::min<std::uint64_t>(bytes, 1u << 24)))) {
            monitorRingStorage_ = std::move(ring);
            monitorRing_ = monitorRingStorage_.get();
        }
    }
    output_ = std::move(output);
    if (output_) {
        output_->setInputFormat(info_->streamFormat);
        output_->setDataSource(weak_from_this());
    }
}

OSStatus Microphone::outputShouldFillAudioBufferList(AudioOutput&, AudioBufferList* bufferList,
                                                     std::uint32_t frames, const AudioTimeStamp&) {
    RingBuffer* ring = monitorRing_.load();
    AudioStreamBasicDescription format{};
    format.mBytesPerFrame = monitorBytesPerFrame_.load();
    std::uint32_t played = 0;
    if (ring && format.mBytesPerFrame > 0) {
        RingBufferClearIfRequested(ring);
        played = frames;
        RingBufferDequeueBufferListFrames(ring, &played, bufferList, format);
    }
    for (std::uint32_t b = 0; b < bufferList->mNumberBuffers; ++b) {
        AudioBuffer& buffer = audioBuffers(bufferList)[b];
        const std::uint32_t filled = std::min(buffer.mDataByteSize, played * format.mBytesPerFrame);
        if (buffer.mData) {
            std::memset(static_cast<std::uint8_t*>(buffer.mData) + filled, 0,
                        buffer.mDataByteSize - filled);
        }
    }
    return 0;
}

OSStatus Microphone::inputCallback(AudioUnitRenderActionFlags* flags, const AudioTimeStamp& time,
                                   std::uint32_t bus, std::uint32_t frames) {
    std::unique_lock lock(captureStateMutex_, std::try_to_lock);
    if (!lock) {
        return 0;  // the owner is rebuilding the capture state: this slice is dropped
    }
    AudioBufferList* list = info_->audioBufferList;
    const AudioStreamBasicDescription& format = info_->streamFormat;
    if (!list || list->mNumberBuffers == 0 || format.mBytesPerFrame == 0) {
        return 0;
    }
    // The capture list was made for the largest slice of 32-bit samples; never fill past it.
    const std::uint32_t capacity =
        list->mBuffers[0].mData ? maximumBufferSize() * list->mBuffers[0].mNumberChannels * 4 : 0;
    frames = std::min(frames, capacity / format.mBytesPerFrame);
    for (std::uint32_t b = 0; b < list->mNumberBuffers; ++b) {
        audioBuffers(list)[b].mDataByteSize = format.mBytesPerFrame * frames;
    }
    const OSStatus status = audioUnit()->render(flags, time, bus, frames, list);
    const std::uint32_t channels = format.mChannelsPerFrame;
    if (RingBuffer* ring = monitorRing_.load()) {
        RingBufferCopyAudioBufferList(ring, list, frames, format);  // dropped when the output lags
    }
    if (auto delegate = this->delegate()) {
        delegate->microphoneHasBufferList(*this, list, frames, channels);
        if (delegate->takesFloatAudio() && floatConverter_ && info_->floatData) {
            floatConverter_->convertDataFromAudioBufferList(list, frames, info_->floatData);
            delegate->microphoneHasAudioReceived(*this, info_->floatData, frames, channels);
        }
    }
    return status;
}

}  // namespace vm
