#include "platform/audio/PortAudioBackend.h"

#include "platform/audio/SoundDeviceMonitor.h"
#include "platform/core/Log.h"

#include <alsa/asoundlib.h>
#include <portaudio.h>

#include <algorithm>
#include <map>
#include <mutex>

namespace vm {

namespace {
// ALSA reports every configuration it probes and cannot open (many on a machine without a sound
// card) on standard error, which is the application's debug log; those reports are dropped.
void quietAlsa(const char*, int, const char*, int, const char*, ...) {}
}  // namespace

// PortAudio's library state, shared by the backend and its open streams, so that a stream may
// outlive the backend. All PortAudio calls other than those inside stream callbacks hold `mutex`.
struct PortAudioSession {
    std::mutex mutex;
    bool initialized = false;
    std::vector<AudioDeviceRecord> records;
    std::vector<PaDeviceIndex> indices;  // parallel to records
    AudioDeviceID defaultInput = kAudioObjectUnknown;
    AudioDeviceID defaultOutput = kAudioObjectUnknown;
    std::map<std::string, AudioDeviceID> idsByUid;
    AudioDeviceID nextID = 1;
    int openStreams = 0;
    bool rescanPending = false;
    bool stopped = false;        // the backend shut down: nothing re-reads the list any more
    std::function<void()> idle;  // runs when the last stream closed with a re-read pending

    PortAudioSession() {
        snd_lib_error_set_handler(quietAlsa);
        std::lock_guard lock(mutex);
        start();
    }
    ~PortAudioSession() {
        if (initialized) {
            Pa_Terminate();
        }
    }

    void start() {
        const PaError error = Pa_Initialize();
        initialized = error == paNoError;
        if (!initialized) {
            log("PortAudio initialisation failed: {}", Pa_GetErrorText(error));
        }
        read();
    }

    void read() {
        records.clear();
        indices.clear();
        defaultInput = defaultOutput = kAudioObjectUnknown;
        if (!initialized) {
            return;
        }
        std::map<std::string, int> seen;
        const PaDeviceIndex count = Pa_GetDeviceCount();
        for (PaDeviceIndex i = 0; i < count; ++i) {
            const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
            if (!info) {
                continue;
            }
            const PaHostApiInfo* api = Pa_GetHostApiInfo(info->hostApi);
            AudioDeviceRecord record;
            record.name = info->name ? info->name : "";
            record.manufacturer = api && api->name ? api->name : "";
            record.uid = record.manufacturer + ":" + record.name;
            if (const int n = seen[record.uid]++; n > 0) {
                record.uid += "#" + std::to_string(n + 1);
            }
            auto [it, added] = idsByUid.emplace(record.uid, nextID);
            if (added) {
                ++nextID;
            }
            record.deviceID = it->second;
            record.inputChannels = std::uint32_t(std::max(0, info->maxInputChannels));
            record.outputChannels = std::uint32_t(std::max(0, info->maxOutputChannels));
            record.sampleRate = info->defaultSampleRate;
            if (i == Pa_GetDefaultInputDevice()) {
                defaultInput = record.deviceID;
            }
            if (i == Pa_GetDefaultOutputDevice()) {
                defaultOutput = record.deviceID;
            }
            records.push_back(std::move(record));
            indices.push_back(i);
        }
    }

    PaDeviceIndex indexOf(AudioDeviceID device) const {
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (records[i].deviceID == device) {
                return indices[i];
            }
        }
        return paNoDevice;
    }

    bool parameters(const AudioStreamRequest& request, PaStreamParameters* p) const {
        const PaDeviceIndex index = indexOf(request.device);
        if (index == paNoDevice || request.channels == 0 || request.sampleRate <= 0) {
            return false;
        }
        const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
        *p = PaStreamParameters{};
        p->device = index;
        p->channelCount = int(request.channels);
        p->sampleFormat = paFloat32 | paNonInterleaved;
        p->suggestedLatency = request.direction == AudioDirection::Input
                                  ? info->defaultLowInputLatency
                                  : info->defaultLowOutputLatency;
        return true;
    }
};

namespace {

class PortAudioStream : public AudioDeviceStream {
public:
    PortAudioStream(std::shared_ptr<PortAudioSession> session, AudioDeviceCallback callback)
        : session_(std::move(session)), callback_(std::move(callback)) {}

    ~PortAudioStream() override {
        std::function<void()> idle;
        {
            std::lock_guard lock(session_->mutex);
            if (stream_) {
                Pa_CloseStream(stream_);
            }
            if (--session_->openStreams == 0 && session_->rescanPending) {
                idle = session_->idle;
            }
        }
        if (idle) {
            idle();
        }
    }

    OSStatus open(const AudioStreamRequest& request) {
        PaStreamParameters parameters;
        if (!session_->parameters(request, &parameters)) {
            return kAudioBadDeviceError;
        }
        const bool input = request.direction == AudioDirection::Input;
        // 0 frames per buffer is PortAudio's own "unspecified": the host's period.
        static_assert(paFramesPerBufferUnspecified == 0);
        slice_.resize(request.channels);
        const PaError error = Pa_OpenStream(
            &stream_, input ? &parameters : nullptr, input ? nullptr : &parameters,
            request.sampleRate, request.framesPerBuffer, paNoFlag, &PortAudioStream::run, this);
        if (error != paNoError) {
            log("PortAudio could not open a stream: {}", Pa_GetErrorText(error));
            stream_ = nullptr;
            return kAudioDeviceUnavailableError;
        }
        return 0;
    }

    OSStatus start() override {
        std::lock_guard lock(session_->mutex);
        return Pa_StartStream(stream_) == paNoError ? 0 : kAudioDeviceUnavailableError;
    }
    OSStatus stop() override {
        std::lock_guard lock(session_->mutex);
        if (Pa_IsStreamStopped(stream_) == 1) {
            return 0;
        }
        return Pa_StopStream(stream_) == paNoError ? 0 : kAudioDeviceUnavailableError;
    }
    bool isRunning() const override {
        std::lock_guard lock(session_->mutex);
        return Pa_IsStreamActive(stream_) == 1;
    }

private:
    static int run(const void* input, void* output, unsigned long frames,
                   const PaStreamCallbackTimeInfo*, PaStreamCallbackFlags, void* user) {
        auto* self = static_cast<PortAudioStream*>(user);
        // Non-interleaved streams hand over an array of per-channel buffers.
        auto* channels = output ? static_cast<float* const*>(output)
                                : static_cast<float* const*>(const_cast<void*>(input));
        // A host period longer than a callback may be reaches the callback in slices.
        for (unsigned long done = 0; done < frames;) {
            const auto n = std::uint32_t(
                std::min<unsigned long>(frames - done, AudioBackend::kMaxFramesPerCallback));
            for (std::size_t c = 0; c < self->slice_.size(); ++c) {
                self->slice_[c] = channels[c] + done;
            }
            AudioTimeStamp time{};
            time.mSampleTime = self->sampleTime_;
            time.mHostTime = audioHostTime();
            time.mRateScalar = 1;
            time.mFlags = kAudioTimeStampSampleTimeValid | kAudioTimeStampHostTimeValid;
            self->callback_(self->slice_.data(), n, time);
            self->sampleTime_ += double(n);
            done += n;
        }
        return paContinue;
    }

    std::shared_ptr<PortAudioSession> session_;
    AudioDeviceCallback callback_;
    PaStream* stream_ = nullptr;
    double sampleTime_ = 0;      // touched by the callback thread only
    std::vector<float*> slice_;  // the channels at the slice's start; callback thread only
};

}  // namespace

PortAudioBackend::PortAudioBackend()
    : session_(std::make_shared<PortAudioSession>()),
      queue_(DispatchQueue::serial("com.velmorasoftware.vmsdr.audio_devices")) {
    {
        std::lock_guard lock(session_->mutex);
        session_->idle = [this] { queue_->async([this] { rescan(); }); };
    }
    monitor_ = std::make_unique<SoundDeviceMonitor>(queue_, [this] { rescan(); });
}

PortAudioBackend::~PortAudioBackend() { shutdown(); }

void PortAudioBackend::shutdown() {
    {
        std::lock_guard lock(session_->mutex);
        if (session_->stopped) {
            return;
        }
        session_->stopped = true;
        session_->idle = nullptr;
    }
    // The monitor waits for its queue: that is only safe while the dispatch threads run, which
    // is why the program shuts the backend down before exit.
    monitor_.reset();
    if (!queue_->isCurrent()) {
        queue_->sync([] {});  // a re-read already queued has run (and found the backend stopped)
    }
}

void PortAudioBackend::rescan() {
    bool changed = false;
    {
        std::lock_guard lock(session_->mutex);
        if (session_->stopped) {
            return;
        }
        if (session_->openStreams > 0) {
            session_->rescanPending = true;
            return;
        }
        session_->rescanPending = false;
        const auto before = session_->records;
        const auto input = session_->defaultInput;
        const auto output = session_->defaultOutput;
        if (session_->initialized) {
            Pa_Terminate();
        }
        session_->start();
        changed = before != session_->records || input != session_->defaultInput ||
                  output != session_->defaultOutput;
    }
    if (changed) {
        notifyDevicesChanged();
    }
}

std::vector<AudioDeviceRecord> PortAudioBackend::devices() {
    std::lock_guard lock(session_->mutex);
    return session_->records;
}

AudioDeviceID PortAudioBackend::defaultDevice(AudioDirection direction) {
    std::lock_guard lock(session_->mutex);
    return direction == AudioDirection::Input ? session_->defaultInput : session_->defaultOutput;
}

bool PortAudioBackend::supportsFormat(AudioDeviceID device, AudioDirection direction,
                                      double sampleRate, std::uint32_t channels) {
    std::lock_guard lock(session_->mutex);
    PaStreamParameters parameters;
    if (!session_->parameters({device, direction, sampleRate, channels, 0}, &parameters)) {
        return false;
    }
    const bool input = direction == AudioDirection::Input;
    return Pa_IsFormatSupported(input ? &parameters : nullptr, input ? nullptr : &parameters,
                                sampleRate) == paFormatIsSupported;
}

std::unique_ptr<AudioDeviceStream> PortAudioBackend::openStream(const AudioStreamRequest& request,
                                                                AudioDeviceCallback callback,
                                                                OSStatus* status) {
    OSStatus result = kAudioParamError;
    std::unique_ptr<PortAudioStream> stream;
    if (callback && request.framesPerBuffer <= kMaxFramesPerCallback) {
        std::lock_guard lock(session_->mutex);
        ++session_->openStreams;  // the stream's destructor gives it back
        stream = std::make_unique<PortAudioStream>(session_, std::move(callback));
        result = stream->open(request);
    }
    if (result != 0) {
        stream.reset();
    }
    if (status) {
        *status = result;
    }
    return stream;
}

}  // namespace vm
