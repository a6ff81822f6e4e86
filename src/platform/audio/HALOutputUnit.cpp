#include "platform/audio/HALOutputUnit.h"

#include "platform/audio/SampleFormat.h"

#include <algorithm>
#include <cstring>

namespace vm {

namespace {

// What device streams carry: 32-bit float, one buffer per channel.
AudioStreamBasicDescription deviceFormat(double rate, std::uint32_t channels) {
    AudioStreamBasicDescription f;
    f.mSampleRate = rate;
    f.mFormatID = kAudioFormatLinearPCM;
    f.mFormatFlags =
        kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
    f.mBytesPerPacket = 4;
    f.mFramesPerPacket = 1;
    f.mBytesPerFrame = 4;
    f.mChannelsPerFrame = channels;
    f.mBitsPerChannel = 32;
    return f;
}

// Points a list of one-channel buffers at the device's channel arrays.
AudioBufferList* pointAt(std::vector<std::uint8_t>& storage, float* const* channels,
                         std::uint32_t count, std::uint32_t frames) {
    auto* list = reinterpret_cast<AudioBufferList*>(storage.data());
    list->mNumberBuffers = count;
    for (std::uint32_t c = 0; c < count; ++c) {
        audioBuffers(list)[c] = AudioBuffer{1, std::uint32_t(frames * sizeof(float)), channels[c]};
    }
    return list;
}

void silence(float* const* channels, std::uint32_t count, std::uint32_t frames) {
    for (std::uint32_t c = 0; c < count; ++c) {
        std::memset(channels[c], 0, frames * sizeof(float));
    }
}

}  // namespace

HALOutputUnit::HALOutputUnit()
    : AudioUnit(AudioUnitKind::HALOutput), backend_(AudioBackend::shared()) {}

HALOutputUnit::~HALOutputUnit() { stop(); }

OSStatus HALOutputUnit::setEnableIO(AudioUnitScope scope, std::uint32_t element, bool enable) {
    std::lock_guard config(configMutex_);
    if (scope == AudioUnitScope::Output && element == kOutputElement) {
        outputEnabled_ = enable;
    } else if (scope == AudioUnitScope::Input && element == kInputElement) {
        inputEnabled_ = enable;
    } else {
        return kAudioParamError;
    }
    return 0;
}

OSStatus HALOutputUnit::getEnableIO(AudioUnitScope scope, std::uint32_t element, bool* enabled) {
    std::lock_guard config(configMutex_);
    if (!enabled) {
        return kAudioParamError;
    }
    if (scope == AudioUnitScope::Output && element == kOutputElement) {
        *enabled = outputEnabled_;
    } else if (scope == AudioUnitScope::Input && element == kInputElement) {
        *enabled = inputEnabled_;
    } else {
        return kAudioParamError;
    }
    return 0;
}

OSStatus HALOutputUnit::setCurrentDevice(AudioDeviceID device) {
    AudioDeviceRecord record;
    if (OSStatus status = backend_->deviceRecord(device, &record)) {
        return status;
    }
    std::lock_guard config(configMutex_);
    const bool wasRunning = running_.load();
    closeStreams();
    device_ = device;
    AudioUnit::setStreamFormat(AudioUnitScope::Output, kOutputElement,
                               deviceFormat(record.sampleRate, record.outputChannels));
    AudioUnit::setStreamFormat(AudioUnitScope::Input, kInputElement,
                               deviceFormat(record.sampleRate, record.inputChannels));
    if (!outputClientSet_) {
        AudioUnit::setStreamFormat(AudioUnitScope::Input, kOutputElement,
                                   deviceFormat(record.sampleRate, record.outputChannels));
    }
    if (!inputClientSet_) {
        AudioUnit::setStreamFormat(AudioUnitScope::Output, kInputElement,
                                   deviceFormat(record.sampleRate, record.inputChannels));
        allocateCapture();
    }
    return wasRunning ? openStreams() : 0;
}

OSStatus HALOutputUnit::setInputCallback(AURenderCallback callback) {
    std::lock_guard config(configMutex_);
    inputCallback_ = std::move(callback);
    return 0;
}

OSStatus HALOutputUnit::setStreamFormat(AudioUnitScope scope, std::uint32_t element,
                                        const AudioStreamBasicDescription& format) {
    const bool playSide = scope == AudioUnitScope::Input && element == kOutputElement;
    const bool captureSide = scope == AudioUnitScope::Output && element == kInputElement;
    if (!playSide && !captureSide) {
        return kAudioParamError;
    }
    PcmLayout layout;
    if (!pcmLayout(format, &layout)) {
        return kAudioFormatUnsupportedError;
    }
    std::lock_guard config(configMutex_);
    const bool wasRunning = running_.load();
    closeStreams();
    AudioUnit::setStreamFormat(scope, element, format);
    (playSide ? outputClientSet_ : inputClientSet_) = true;
    if (captureSide) {
        allocateCapture();
    }
    return wasRunning ? openStreams() : 0;
}

OSStatus HALOutputUnit::setMaximumFramesPerSlice(std::uint32_t frames) {
    std::lock_guard config(configMutex_);
    if (OSStatus status = AudioUnit::setMaximumFramesPerSlice(frames)) {
        return status;
    }
    allocateCapture();
    return 0;
}

void HALOutputUnit::allocateCapture() {
    PcmLayout layout;
    if (!pcmLayout(format(AudioUnitScope::Output, kInputElement), &layout)) {
        captureStorage_.clear();
        return;
    }
    captureStorage_.allocate(layout, maximumFramesPerSlice_.load());
}

OSStatus HALOutputUnit::uninitialize() {
    stop();
    return AudioUnit::uninitialize();
}

OSStatus HALOutputUnit::start() {
    if (!isInitialized()) {
        return kAudioUninitializedError;
    }
    std::lock_guard config(configMutex_);
    if (running_) {
        return 0;
    }
    return openStreams();
}

OSStatus HALOutputUnit::stop() {
    std::lock_guard config(configMutex_);
    closeStreams();
    return 0;
}

void HALOutputUnit::closeStreams() {
    outputStream_.reset();
    inputStream_.reset();
    running_ = false;
}

OSStatus HALOutputUnit::openStreams() {
    AudioDeviceRecord record;
    OSStatus status = backend_->deviceRecord(device_, &record);
    if (status != 0) {
        return status;  // no device to run on
    }
    AudioStreamRequest request;
    if (outputEnabled_ && hasInput(0) && (status = prepareOutput(&request)) == 0 &&
        request.channels > 0) {
        outputStream_ = backend_->openStream(
            request,
            [this](float* const* c, std::uint32_t n, const AudioTimeStamp& t) { play(c, n, t); },
            &status);
    }
    if (status == 0 && inputEnabled_ && (status = prepareInput(&request)) == 0 &&
        request.channels > 0) {
        inputStream_ = backend_->openStream(
            request,
            [this](float* const* c, std::uint32_t n, const AudioTimeStamp& t) { capture(c, n, t); },
            &status);
    }
    for (auto* stream : {outputStream_.get(), inputStream_.get()}) {
        if (status == 0 && stream) {
            status = stream->start();
        }
    }
    if (status != 0) {
        closeStreams();
        return status;
    }
    running_ = true;
    return 0;
}

OSStatus HALOutputUnit::prepareOutput(AudioStreamRequest* request) {
    *request = AudioStreamRequest{};
    AudioDeviceRecord record;
    if (OSStatus status = backend_->deviceRecord(device_, &record)) {
        return status;
    }
    if (record.outputChannels == 0) {
        return 0;
    }
    const AudioStreamBasicDescription client = format(AudioUnitScope::Input, kOutputElement);
    PcmLayout layout;
    if (!pcmLayout(client, &layout)) {
        return kAudioFormatUnsupportedError;
    }
    const std::uint32_t channels = std::min(layout.channels, record.outputChannels);
    const double rate =
        backend_->supportsFormat(device_, AudioDirection::Output, client.mSampleRate, channels)
            ? client.mSampleRate
            : record.sampleRate;
    const AudioStreamBasicDescription stream = deviceFormat(rate, channels);
    outputConverter_.reset();
    if (stream != client) {
        if (OSStatus status = AudioConverter::create(client, stream, &outputConverter_)) {
            return status;
        }
        outputPulled_.allocate(layout, AudioConverter::kChunk);
    }
    outputChannels_ = channels;
    outputList_.assign(audioBufferListSize(channels), 0);
    *request =
        AudioStreamRequest{device_, AudioDirection::Output, rate, channels, kDeviceFramesPerBuffer};
    return 0;
}

OSStatus HALOutputUnit::prepareInput(AudioStreamRequest* request) {
    *request = AudioStreamRequest{};
    AudioDeviceRecord record;
    if (OSStatus status = backend_->deviceRecord(device_, &record)) {
        return status;
    }
    if (record.inputChannels == 0) {
        return 0;
    }
    const AudioStreamBasicDescription stream =
        deviceFormat(record.sampleRate, record.inputChannels);
    const AudioStreamBasicDescription client = format(AudioUnitScope::Output, kInputElement);
    if (captureStorage_.empty()) {
        return kAudioFormatUnsupportedError;
    }
    inputConverter_.reset();
    if (stream != client) {
        if (OSStatus status = AudioConverter::create(stream, client, &inputConverter_)) {
            return status;
        }
    }
    inputChannels_ = record.inputChannels;
    deviceInputList_.assign(audioBufferListSize(inputChannels_), 0);
    *request = AudioStreamRequest{device_, AudioDirection::Input, record.sampleRate,
                                  record.inputChannels, kDeviceFramesPerBuffer};
    return 0;
}

void HALOutputUnit::play(float* const* channels, std::uint32_t frames, const AudioTimeStamp& time) {
    std::unique_lock config(configMutex_, std::try_to_lock);
    auto routing = tryLockRouting();
    if (!config || !routing) {
        silence(channels, outputChannels_, frames);
        return;
    }
    AudioBufferList* list = pointAt(outputList_, channels, outputChannels_, frames);
    AudioUnitRenderActionFlags flags = 0;
    OSStatus status = 0;
    if (!outputConverter_) {
        status = pullInput(0, &flags, time, frames, list);
    } else {
        auto proc = [&](std::uint32_t* count, AudioBufferList* ioList,
                        AudioStreamPacketDescription**) {
            return pullInputForConverter(outputPulled_, 0, &flags, time, count, ioList);
        };
        std::uint32_t written = frames;
        status = outputConverter_->fillComplexBuffer(proc, &written, list, nullptr);
        // Whatever the converter could not produce stays silent.
        for (std::uint32_t c = 0; c < outputChannels_; ++c) {
            std::memset(channels[c] + written, 0, (frames - written) * sizeof(float));
        }
    }
    if (status != 0) {
        silence(channels, outputChannels_, frames);
    }
}

void HALOutputUnit::capture(float* const* channels, std::uint32_t frames,
                            const AudioTimeStamp& time) {
    std::unique_lock config(configMutex_, std::try_to_lock);
    if (!config || !inputCallback_ || captureStorage_.empty()) {
        return;
    }
    const std::uint32_t maximum = maximumFramesPerSlice_.load();
    AudioBufferList* deviceList = pointAt(deviceInputList_, channels, inputChannels_, frames);
    if (!inputConverter_) {
        captured_ = deviceList;
        capturedFrames_ = std::min(frames, maximum);
    } else {
        AudioBufferList* list = captureStorage_.list(maximum);
        // The converter takes the device's frames in as many pulls as it needs.
        std::uint32_t handed = 0;
        auto proc = [&handed, deviceList, frames](std::uint32_t* count, AudioBufferList* ioList,
                                                  AudioStreamPacketDescription**) -> OSStatus {
            const std::uint32_t n = std::min(*count, frames - handed);
            for (std::uint32_t b = 0; b < deviceList->mNumberBuffers && b < ioList->mNumberBuffers;
                 ++b) {
                const AudioBuffer& from = audioBuffers(deviceList)[b];
                audioBuffers(ioList)[b] =
                    AudioBuffer{from.mNumberChannels, n * std::uint32_t(sizeof(float)),
                                static_cast<float*>(from.mData) + handed};
            }
            handed += n;
            *count = n;
            return 0;
        };
        std::uint32_t produced = maximum;
        inputConverter_->fillComplexBuffer(proc, &produced, list, nullptr);
        captured_ = list;
        capturedFrames_ = produced;
    }
    if (capturedFrames_ > 0) {
        AudioUnitRenderActionFlags flags = 0;
        inputCallback_(&flags, time, kInputElement, capturedFrames_, nullptr);
    }
    captured_ = nullptr;
    capturedFrames_ = 0;
}

OSStatus HALOutputUnit::renderBus(AudioUnitRenderActionFlags*, const AudioTimeStamp&,
                                  std::uint32_t bus, std::uint32_t frames,
                                  AudioBufferList* ioData) {
    if (bus != kInputElement) {
        return kAudioParamError;
    }
    if (!captured_) {
        return kAudioUninitializedError;
    }
    const std::uint32_t bytes = std::min(frames, capturedFrames_) * captureStorage_.bytesPerFrame();
    const std::uint32_t count = std::min(ioData->mNumberBuffers, captured_->mNumberBuffers);
    for (std::uint32_t b = 0; b < count; ++b) {
        AudioBuffer& out = audioBuffers(ioData)[b];
        const AudioBuffer& in = audioBuffers(captured_)[b];
        if (!out.mData) {
            out.mData = in.mData;
            out.mDataByteSize = bytes;
        } else {
            out.mDataByteSize = std::min(out.mDataByteSize, bytes);
            std::memcpy(out.mData, in.mData, out.mDataByteSize);
        }
    }
    return 0;
}

}  // namespace vm
