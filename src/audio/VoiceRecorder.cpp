#include "audio/VoiceRecorder.h"

#include "localaudio/AudioUtilities.h"
#include "localaudio/RingBufferAudioBufferList.h"
#include "localaudio/SoundFileFormat.h"
#include "platform/core/Log.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vm {

namespace {

// Room for a few seconds of captured slices while the writer waits for the disk.
constexpr std::uint32_t kRingLength = 1u << 22;
// Frames taken from the ring per write.
constexpr std::uint32_t kWriteChunk = 4096;

}  // namespace

VoiceRecorder::VoiceRecorder() {
    ringReady_ = RingBufferInit(&ring_, kRingLength);
    if (!ringReady_) {
        log("Error allocating recording buffer");
    }
}

VoiceRecorder::~VoiceRecorder() {
    stop();
    thread_.stop();
    if (ringReady_) {
        RingBufferCleanup(&ring_);
    }
}

void VoiceRecorder::setSourceFormat(const AudioStreamBasicDescription& format) {
    std::lock_guard lock(fileMutex_);
    writeHeld();
    sourceFormat_ = format;
    layoutValid_ = pcmLayout(format, &layout_);
    if (layoutValid_) {
        scratch_.allocate(layout_, kWriteChunk);
        samples_.resize(kWriteChunk);
    } else {
        scratch_.clear();
    }
    if (file_) {
        file_->setClientFormat(format);
    }
}

std::string VoiceRecorder::recordingPath(const std::string& path) {
    std::filesystem::path wav(path);
    wav.replace_extension(".wav");
    std::string candidate = wav.string();
    std::error_code error;
    for (int n = 1; std::filesystem::exists(std::filesystem::symlink_status(candidate, error));
         ++n) {
        std::filesystem::path numbered = wav;
        numbered.replace_filename(fmt::format("{} {}.wav", wav.stem().string(), n));
        candidate = numbered.string();
    }
    return candidate;
}

bool VoiceRecorder::record(const std::string& path, Error* error) {
    std::lock_guard lock(fileMutex_);
    if (file_) {
        finishLocked(true);
    }
    if (!layoutValid_) {
        if (error) {
            *error = Error{"VoiceRecorder", kAudioFormatUnsupportedError,
                           "There is no microphone audio to record"};
        }
        return false;
    }
    const AudioStreamBasicDescription fileFormat =
        AudioUtilities::stereoFloatInterleavedFormatWithSampleRate(float(kSampleRate));
    file_ = FileRecorder::recorderWithURL(path, sourceFormat_, fileFormat, kAudioFileWAVEType, {},
                                          error);
    if (!file_) {
        return false;
    }
    // Whatever a stopped capture left behind is not part of this recording.
    if (ringReady_) {
        std::uint32_t frames = RingBufferPeekFrames(&ring_, sourceFormat_);
        RingBufferDequeueBufferListFrames(&ring_, &frames, nullptr, sourceFormat_);
    }
    std::fill(std::begin(sumSquares_), std::end(sumSquares_), 0.0);
    std::fill(std::begin(averagePower_), std::end(averagePower_), kSilence);
    measuredFrames_ = 0;
    recording_.store(true);
    return true;
}

bool VoiceRecorder::stop() {
    std::lock_guard lock(fileMutex_);
    if (!file_) {
        return false;
    }
    recording_.store(false);
    writeHeld();
    finishLocked(true);
    return true;
}

void VoiceRecorder::finishLocked(bool successfully) {
    recording_.store(false);
    file_->closeAudioFile();
    file_.reset();
    log("audioRecorderDidFinishRecording:successfully:[{}]", successfully ? 1 : 0);
}

double VoiceRecorder::currentTime() const {
    std::lock_guard lock(fileMutex_);
    return file_ ? file_->currentTime() : 0;
}

void VoiceRecorder::appendCapture(const AudioBufferList* list, std::uint32_t frames) {
    if (!recording_.load() || !ringReady_) {
        return;
    }
    if (!RingBufferCopyAudioBufferList(&ring_, list, frames, sourceFormat_)) {
        log("recordFile:Insufficient space in recording buffer bufferSize:{}", frames);
        return;
    }
    thread_.wake();
}

void VoiceRecorder::waitUntilWritten() { thread_.waitUntilIdle(); }

// Takes what the ring holds in pieces: each piece adds to the meters' sums and goes to the file,
// up to the hour's limit, where the recording ends by itself.
void VoiceRecorder::writeHeld() {
    if (!ringReady_ || !layoutValid_) {
        return;
    }
    const auto limit = std::int64_t(kMaximumDuration * sourceFormat_.mSampleRate);
    while (true) {
        std::uint32_t frames = std::min(RingBufferPeekFrames(&ring_, sourceFormat_), kWriteChunk);
        if (frames == 0) {
            return;
        }
        AudioBufferList* list = scratch_.list(frames);
        RingBufferDequeueBufferListFrames(&ring_, &frames, list, sourceFormat_);
        if (!file_ || frames == 0) {
            continue;
        }
        frames = std::uint32_t(std::min<std::int64_t>(frames, limit - file_->frameIndex()));
        const std::uint32_t stride = layout_.interleaved ? layout_.channels : 1;
        for (std::uint32_t c = 0; c < kChannels; ++c) {
            const std::uint32_t channel = std::min(c, layout_.channels - 1);
            const std::uint32_t buffer = layout_.interleaved ? 0 : channel;
            const std::uint32_t offset = layout_.interleaved ? channel : 0;
            decodeSamples(layout_,
                          static_cast<const std::uint8_t*>(audioBuffers(list)[buffer].mData) +
                              std::size_t(offset) * layout_.bytesPerSample,
                          std::size_t(stride) * layout_.bytesPerSample, samples_.data(), 1, frames);
            for (std::uint32_t f = 0; f < frames; ++f) {
                sumSquares_[c] += double(samples_[f]) * samples_[f];
            }
        }
        measuredFrames_ += frames;
        file_->appendDataFromBufferList(list, frames);
        if (file_->frameIndex() >= limit) {
            finishLocked(true);
        }
    }
}

void VoiceRecorder::updateMeters() {
    std::lock_guard lock(fileMutex_);
    if (measuredFrames_ == 0) {
        return;
    }
    for (std::uint32_t c = 0; c < kChannels; ++c) {
        const double meanSquare = sumSquares_[c] / double(measuredFrames_);
        averagePower_[c] = meanSquare > 0 ? float(10 * std::log10(meanSquare)) : kSilence;
        sumSquares_[c] = 0;
    }
    measuredFrames_ = 0;
}

float VoiceRecorder::averagePowerForChannel(std::uint32_t channel) const {
    std::lock_guard lock(fileMutex_);
    return channel < kChannels ? averagePower_[channel] : kSilence;
}

double VoiceRecorder::powerIndicatorLevel(double averagePower) {
    if (averagePower < -80) {
        return 0;
    }
    if (averagePower >= 0) {
        return 8;
    }
    return 8 * std::sqrt((std::pow(10.0, 0.05 * averagePower) - 0.0001) * 1.0001);
}

std::string VoiceRecorder::elapsedText(double seconds) {
    const auto whole = std::int64_t(std::llround(std::max(0.0, seconds)));
    return fmt::format("{:02d}:{:02d}", whole / 60, whole % 60);
}

}  // namespace vm
