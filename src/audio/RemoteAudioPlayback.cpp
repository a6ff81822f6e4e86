#include "audio/RemoteAudioPlayback.h"

#include "platform/audio/AudioUnit.h"
#include "platform/core/Log.h"

#include <algorithm>
#include <cstring>

namespace vm {

RemoteAudioPlayback::RemoteAudioPlayback(Private, bool compressed)
    : compressed_(compressed),
      cushionBytes_(std::uint32_t(format(compressed).mSampleRate * kCushionSeconds) *
                    format(compressed).mBytesPerFrame),
      latencyCapBytes_(std::int32_t(format(compressed).mSampleRate * kLatencyCapSeconds) *
                           std::int32_t(format(compressed).mBytesPerFrame) +
                       1) {}

std::shared_ptr<RemoteAudioPlayback> RemoteAudioPlayback::create(bool compressed) {
    auto playback = std::make_shared<RemoteAudioPlayback>(Private{}, compressed);
    playback->decoder_ = std::make_shared<OpusCodecDecoder>(24000, 2);
    Error error;
    if (!playback->decoder_->setupDecoderWithError(&error)) {
        log("Error setting up Opus Decoder - {}", error.description);
    }
    playback->ringReady_ = RingBufferInit(&playback->ring_, kRingLength);
    if (!playback->ringReady_) {
        log("Error allocating output buffer");
        return nullptr;
    }
    return playback;
}

RemoteAudioPlayback::~RemoteAudioPlayback() {
    if (ringReady_) {
        RingBufferCleanup(&ring_);
    }
}

AudioStreamBasicDescription RemoteAudioPlayback::format(bool compressed) {
    AudioStreamBasicDescription format;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mFramesPerPacket = 1;
    format.mChannelsPerFrame = 2;
    if (compressed) {
        format.mSampleRate = 24000;
        format.mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked;
        format.mBitsPerChannel = 16;
    } else {
        format.mSampleRate = 48000;
        format.mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsBigEndian;
        format.mBitsPerChannel = 32;
    }
    format.mBytesPerFrame = format.mBitsPerChannel / 8 * 2;
    format.mBytesPerPacket = format.mBytesPerFrame;
    return format;
}

void RemoteAudioPlayback::decodeAndWrite(const Bytes& packet) {
    decoder_->decodePacketSync(packet, [this](const Bytes& pcm, int frames, const Error* error) {
        if (error) {
            log("Error decoding packet - {}", error->description);
        } else if (pcm.empty() || frames == 0) {
            log("pcmData is NULL or numDecodedSamples is zero");
        } else {
            write(pcm.data(), static_cast<std::uint32_t>(pcm.size()));
        }
    });
}

void RemoteAudioPlayback::write(const char* bytes, std::uint32_t length) {
    std::uint32_t available = 0;
    void* head = RingBufferHead(&ring_, &available);
    if (!head || available < length) {
        // Counted once per emptying: until the render side has emptied the ring, later blocks are
        // dropped with it.
        if (!ring_.clearRequested.load()) {
            log("Error copying output PCM into Ring buffer - insufficent space");
            overRuns_.fetch_add(1);
            RingBufferRequestClear(&ring_);
        }
        return;
    }
    std::memcpy(head, bytes, length);
    RingBufferProduce(&ring_, length);
    bytesWritten_.fetch_add(length);
    if (ring_.fillCount.load() >=
        latencyCapBytes_ + std::int32_t(largestPullBytes_.load(std::memory_order_relaxed))) {
        RingBufferRequestClear(&ring_);
    }
}

OSStatus RemoteAudioPlayback::outputShouldFillAudioBufferList(AudioOutput& /*output*/,
                                                              AudioBufferList* bufferList,
                                                              std::uint32_t /*frames*/,
                                                              const AudioTimeStamp& /*timestamp*/) {
    if (RingBufferClearIfRequested(&ring_)) {
        playing_ = false;
    }
    std::uint32_t pull = 0;
    for (std::uint32_t b = 0; b < bufferList->mNumberBuffers; ++b) {
        pull += audioBuffers(bufferList)[b].mDataByteSize;
    }
    if (pull > largestPullBytes_.load(std::memory_order_relaxed)) {
        largestPullBytes_.store(pull, std::memory_order_relaxed);
    }
    if (!playing_) {
        const std::uint32_t wanted = cushionBytes_ + pull;
        playing_ = std::uint32_t(std::max(0, ring_.fillCount.load())) >= wanted;
        if (!playing_) {
            silenceBufferList(bufferList);
            return 0;
        }
    }
    bool short_ = false;
    for (std::uint32_t b = 0; b < bufferList->mNumberBuffers; ++b) {
        AudioBuffer& buffer = audioBuffers(bufferList)[b];
        auto* out = static_cast<char*>(buffer.mData);
        if (!out) {
            continue;
        }
        std::uint32_t held = 0;
        const void* tail = RingBufferTail(&ring_, &held);
        const std::uint32_t n = tail ? std::min(buffer.mDataByteSize, held) : 0;
        if (n > 0) {
            std::memcpy(out, tail, n);
            RingBufferConsume(&ring_, n);
        }
        if (n < buffer.mDataByteSize) {
            std::memset(out + n, 0, buffer.mDataByteSize - n);
            short_ = true;
        }
    }
    if (short_) {
        underRuns_.fetch_add(1);
        playing_ = false;
    }
    return 0;
}

}  // namespace vm
