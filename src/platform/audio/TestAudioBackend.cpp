#include "platform/audio/TestAudioBackend.h"

#include <algorithm>

namespace vm {

class TestAudioBackend::Stream : public AudioDeviceStream {
public:
    Stream(TestAudioBackend& backend, AudioStreamRequest request, AudioDeviceCallback callback)
        : backend_(backend),
          request_(request),
          block_(request.framesPerBuffer ? request.framesPerBuffer : backend.period_),
          callback_(std::move(callback)) {}
    ~Stream() override {
        {
            std::lock_guard lock(backend_.mutex_);
            auto& streams = backend_.streams_;
            streams.erase(std::remove(streams.begin(), streams.end(), this), streams.end());
        }
        // A callback under way finishes first, as a device's would.
        std::lock_guard wait(runMutex_);
    }
    OSStatus start() override {
        std::lock_guard lock(backend_.mutex_);
        running_ = true;
        return 0;
    }
    OSStatus stop() override {
        std::lock_guard lock(backend_.mutex_);
        running_ = false;
        return 0;
    }
    bool isRunning() const override {
        std::lock_guard lock(backend_.mutex_);
        return running_;
    }

    // Runs the callback over `frames` frames of `channels`, in blocks of the buffer size.
    void run(std::vector<float*> channels, std::uint32_t frames) {
        std::vector<float*> at(channels.size());
        for (std::uint32_t done = 0; done < frames;) {
            const std::uint32_t n = std::min(block_, frames - done);
            for (std::size_t c = 0; c < channels.size(); ++c) {
                at[c] = channels[c] + done;
            }
            AudioTimeStamp time{};
            time.mSampleTime = sampleTime_;
            time.mHostTime = audioHostTime();
            time.mRateScalar = 1;
            time.mFlags = kAudioTimeStampSampleTimeValid | kAudioTimeStampHostTimeValid;
            callback_(at.data(), n, time);
            sampleTime_ += n;
            done += n;
        }
    }

    TestAudioBackend& backend_;
    std::mutex runMutex_;  // held while the callback runs
    const AudioStreamRequest request_;
    const std::uint32_t block_;  // frames per callback
    const AudioDeviceCallback callback_;
    bool running_ = false;
    double sampleTime_ = 0;
};

void TestAudioBackend::setDevices(std::vector<AudioDeviceRecord> devices,
                                  AudioDeviceID defaultInput, AudioDeviceID defaultOutput) {
    {
        std::lock_guard lock(mutex_);
        devices_ = std::move(devices);
        defaultInput_ = defaultInput;
        defaultOutput_ = defaultOutput;
    }
    notifyDevicesChanged();
}

std::vector<AudioDeviceRecord> TestAudioBackend::devices() {
    std::lock_guard lock(mutex_);
    return devices_;
}

AudioDeviceID TestAudioBackend::defaultDevice(AudioDirection direction) {
    std::lock_guard lock(mutex_);
    return direction == AudioDirection::Input ? defaultInput_ : defaultOutput_;
}

void TestAudioBackend::setSupportedRates(std::vector<double> rates) {
    std::lock_guard lock(mutex_);
    rates_ = std::move(rates);
}

void TestAudioBackend::setPeriod(std::uint32_t frames) {
    std::lock_guard lock(mutex_);
    period_ = std::clamp<std::uint32_t>(frames, 1, kMaxFramesPerCallback);
}

bool TestAudioBackend::supportsFormat(AudioDeviceID device, AudioDirection direction,
                                      double sampleRate, std::uint32_t channels) {
    std::lock_guard lock(mutex_);
    return supports(device, direction, sampleRate, channels);
}

bool TestAudioBackend::supports(AudioDeviceID device, AudioDirection direction, double sampleRate,
                                std::uint32_t channels) const {
    auto it = std::find_if(devices_.begin(), devices_.end(),
                           [&](const AudioDeviceRecord& r) { return r.deviceID == device; });
    if (it == devices_.end() || sampleRate <= 0 || channels == 0) {
        return false;
    }
    const auto have = direction == AudioDirection::Input ? it->inputChannels : it->outputChannels;
    const bool rateOk =
        rates_.empty() || std::find(rates_.begin(), rates_.end(), sampleRate) != rates_.end();
    return channels <= have && rateOk;
}

std::unique_ptr<AudioDeviceStream> TestAudioBackend::openStream(const AudioStreamRequest& request,
                                                                AudioDeviceCallback callback,
                                                                OSStatus* status) {
    std::lock_guard lock(mutex_);
    if (!callback || request.framesPerBuffer > kMaxFramesPerCallback ||
        !supports(request.device, request.direction, request.sampleRate, request.channels)) {
        if (status) {
            *status = kAudioDeviceUnavailableError;
        }
        return nullptr;
    }
    auto stream = std::make_unique<Stream>(*this, request, std::move(callback));
    streams_.push_back(stream.get());
    if (status) {
        *status = 0;
    }
    return stream;
}

TestAudioBackend::Stream* TestAudioBackend::findRunning(AudioDeviceID device,
                                                        AudioDirection direction) {
    for (auto* stream : streams_) {
        if (stream->running_ && stream->request_.device == device &&
            stream->request_.direction == direction) {
            return stream;
        }
    }
    return nullptr;
}

bool TestAudioBackend::render(AudioDeviceID device, std::uint32_t frames,
                              std::vector<std::vector<float>>* out) {
    std::unique_lock lock(mutex_);
    auto* stream = findRunning(device, AudioDirection::Output);
    if (!stream) {
        return false;
    }
    // The stream cannot go away while its run lock is held; other streams run meanwhile.
    std::lock_guard run(stream->runMutex_);
    lock.unlock();
    out->assign(stream->request_.channels, std::vector<float>(frames, 0.0f));
    std::vector<float*> channels;
    for (auto& channel : *out) {
        channels.push_back(channel.data());
    }
    stream->run(std::move(channels), frames);
    return true;
}

bool TestAudioBackend::capture(AudioDeviceID device,
                               const std::vector<std::vector<float>>& channels) {
    std::unique_lock lock(mutex_);
    auto* stream = findRunning(device, AudioDirection::Input);
    if (!stream || channels.size() != stream->request_.channels || channels.empty()) {
        return false;
    }
    for (const auto& channel : channels) {
        if (channel.size() != channels[0].size()) {
            return false;
        }
    }
    std::lock_guard run(stream->runMutex_);
    lock.unlock();
    // The callback gets a copy, as a device hands over its own buffers.
    auto copy = channels;
    std::vector<float*> pointers;
    for (auto& channel : copy) {
        pointers.push_back(channel.data());
    }
    stream->run(std::move(pointers), std::uint32_t(copy[0].size()));
    return true;
}

std::optional<AudioStreamRequest> TestAudioBackend::runningStream(AudioDeviceID device,
                                                                  AudioDirection direction) {
    std::lock_guard lock(mutex_);
    if (auto* stream = findRunning(device, direction)) {
        return stream->request_;
    }
    return std::nullopt;
}

std::size_t TestAudioBackend::openStreamCount() {
    std::lock_guard lock(mutex_);
    return streams_.size();
}

}  // namespace vm
