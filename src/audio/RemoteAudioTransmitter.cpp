#include "audio/RemoteAudioTransmitter.h"

#include "localaudio/AudioUtilities.h"
#include "localaudio/RingBufferAudioBufferList.h"
#include "platform/core/Log.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace vm {

namespace {

// The input procedure's answer when the ring holds nothing: the converter stops for now.
constexpr OSStatus kNoInputYet = 501;

}  // namespace

RemoteAudioTransmitter::RemoteAudioTransmitter(Send send)
    : send_(std::move(send)), packet_(kFramesPerPacket * 2) {
    ringReady_ = RingBufferInit(&inputBuffer_, kInputBufferLength);
    if (!ringReady_) {
        log("Error allocating input buffer");
    }
}

RemoteAudioTransmitter::~RemoteAudioTransmitter() {
    thread_.stop();
    if (ringReady_) {
        RingBufferCleanup(&inputBuffer_);
    }
}

AudioStreamBasicDescription RemoteAudioTransmitter::transmitFormat() {
    AudioStreamBasicDescription format;
    format.mSampleRate = 24000;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mFormatFlags = kAudioFormatFlagIsSignedInteger | kAudioFormatFlagIsPacked;
    format.mBytesPerPacket = 4;
    format.mFramesPerPacket = 1;
    format.mBytesPerFrame = 4;
    format.mChannelsPerFrame = 2;
    format.mBitsPerChannel = 16;
    return format;
}

void RemoteAudioTransmitter::setSourceFormat(const AudioStreamBasicDescription& format) {
    std::lock_guard lock(stateMutex_);
    sourceFormat_ = format;
    packetFrames_ = 0;
    if (ringReady_) {
        RingBufferClear(&inputBuffer_);  // capture is paused and the thread waits on the mutex
    }
    appendedFrames_.store(0);
    takenFrames_ = 0;
    staleUpTo_.store(kNoMark);
    converter_.reset();
    const OSStatus status = AudioConverter::create(format, transmitFormat(), &converter_);
    if (!converter_) {
        log("Error creating Audio Converter - {}", status);
    }
    Error error;
    encoder_ = OpusCodecEncoder::encoderForASBD(transmitFormat(), 1, &error);
    if (!encoder_) {
        log("Error setting up Opus encoder - {}", error.description);
    } else {
        encoder_->setBitrate(70000);
        encoder_->setComplexity(1);
        encoder_->setMaxBandwidth(4);
        encoder_->setUseInBandFEC(true);
    }
    const std::uint32_t buffers =
        AudioUtilities::isInterleaved(format) ? 1 : format.mChannelsPerFrame;
    inputScratch_.assign(std::size_t{AudioConverter::kChunk} * format.mBytesPerFrame * buffers, 0);
    inputList_.assign(audioBufferListSize(buffers), 0);
    scratchBuffers_ = buffers;
}

bool RemoteAudioTransmitter::appendCapture(const AudioBufferList* list, std::uint32_t frames) {
    if (!ringReady_ || !RingBufferCopyAudioBufferList(&inputBuffer_, list, frames, sourceFormat_)) {
        log("microphone:Insufficient space in inputBuffer circular buffer bufferSize:{}", frames);
        return false;
    }
    appendedFrames_.fetch_add(frames, std::memory_order_release);
    if (delayBuffer_.load() > 0) {
        delayBuffer_.fetch_sub(1);
        return true;
    }
    thread_.wake();
    return true;
}

void RemoteAudioTransmitter::clear() {
    if (ringReady_) {
        staleUpTo_.store(appendedFrames_.load(std::memory_order_acquire));
        thread_.wake();
    }
}

void RemoteAudioTransmitter::waitUntilIdle() { thread_.waitUntilIdle(); }

// Converts what the ring holds into whole packets; frames short of a packet wait in `packet_`
// for the next round, so nothing the converter produced is lost.
void RemoteAudioTransmitter::convertHeld() {
    std::lock_guard lock(stateMutex_);
    if (!ringReady_ || !converter_) {
        return;
    }
    // The audio held when capture stopped is dropped, with the packet it was filling; what was
    // captured after it stays.
    if (const std::uint64_t stale = staleUpTo_.exchange(kNoMark); stale != kNoMark) {
        packetFrames_ = 0;
        while (takenFrames_ < stale) {
            std::uint32_t frames = std::uint32_t(std::min<std::uint64_t>(
                stale - takenFrames_, std::numeric_limits<std::uint32_t>::max()));
            RingBufferDequeueBufferListFrames(&inputBuffer_, &frames, nullptr, sourceFormat_);
            if (frames == 0) {
                break;
            }
            takenFrames_ += frames;
        }
    }
    while (true) {
        AudioBufferList out{
            1, {{2, (kFramesPerPacket - packetFrames_) * 4, packet_.data() + packetFrames_ * 2}}};
        std::uint32_t count = kFramesPerPacket - packetFrames_;
        const OSStatus status = converter_->fillComplexBuffer(
            [this](std::uint32_t* n, AudioBufferList* data, AudioStreamPacketDescription**) {
                return provideInput(n, data);
            },
            &count, &out, nullptr);
        packetFrames_ += count;
        if (packetFrames_ == kFramesPerPacket) {
            AudioBufferList whole{1, {{2, kFramesPerPacket * 4, packet_.data()}}};
            encodeAndSend(&whole);
            packetFrames_ = 0;
        }
        if (status != 0 || count == 0) {
            if (status != 0 && status != kNoInputYet) {
                log("AudioConverterFillComplexBuffer:status:[{}]", status);
            }
            return;
        }
    }
}

OSStatus RemoteAudioTransmitter::provideInput(std::uint32_t* count, AudioBufferList* data) {
    const std::uint32_t held = RingBufferPeekFrames(&inputBuffer_, sourceFormat_);
    auto* scratch = reinterpret_cast<AudioBufferList*>(inputList_.data());
    const std::uint32_t buffers = std::min(data->mNumberBuffers, scratchBuffers_);
    std::uint32_t frames = std::min({*count, held, AudioConverter::kChunk});
    if (frames == 0 || buffers == 0) {
        *count = 0;
        return kNoInputYet;
    }
    const std::uint32_t bytes = frames * sourceFormat_.mBytesPerFrame;
    const std::size_t stride = inputScratch_.size() / buffers;
    scratch->mNumberBuffers = buffers;
    for (std::uint32_t b = 0; b < buffers; ++b) {
        audioBuffers(scratch)[b] = AudioBuffer{audioBuffers(data)[b].mNumberChannels, bytes,
                                               inputScratch_.data() + b * stride};
    }
    RingBufferDequeueBufferListFrames(&inputBuffer_, &frames, scratch, sourceFormat_);
    takenFrames_ += frames;
    for (std::uint32_t b = 0; b < buffers; ++b) {
        audioBuffers(data)[b].mData = audioBuffers(scratch)[b].mData;
        audioBuffers(data)[b].mDataByteSize = frames * sourceFormat_.mBytesPerFrame;
    }
    *count = frames;
    return frames == 0 ? kNoInputYet : 0;
}

void RemoteAudioTransmitter::sendTransmitFrames(const AudioBufferList* pcm) {
    std::lock_guard lock(stateMutex_);
    encodeAndSend(pcm);
}

void RemoteAudioTransmitter::encodeAndSend(const AudioBufferList* pcm) {
    if (!pcm || pcm->mNumberBuffers == 0 || !encoder_) {
        return;
    }
    float level = -300;
    float peak = -300;
    micLevels(static_cast<const std::int16_t*>(pcm->mBuffers[0].mData),
              pcm->mBuffers[0].mDataByteSize / 4, &level, &peak);
    micLevel_.store(level);
    micPeakLevel_.store(peak);
    encoder_->encodeBufferList(pcm, [this](const Bytes& packet, const Error*) {
        if (!packet.empty()) {
            send_(packet);
        }
    });
}

void RemoteAudioTransmitter::micLevels(const std::int16_t* samples, std::uint32_t frames,
                                       float* level, float* peak) {
    *level = -300;
    *peak = -300;
    if (!samples || frames == 0) {
        return;
    }
    std::int64_t sum = 0;
    std::int64_t largest = 0;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const std::int64_t magnitude = std::abs(std::int64_t{samples[i * 2]});
        sum += magnitude;
        largest = std::max(largest, magnitude);
    }
    if (sum >= frames) {
        *level = float(20.0 * std::log10(double(sum / frames) / 32767.0));
    }
    if (largest > 0) {
        *peak = float(20.0 * std::log10(double(largest) / 32767.0));
    }
}

}  // namespace vm
