#include "audio/OpusCodecEncoder.h"

#include "audio/OpusCodecUtilities.h"
#include "localaudio/RingBufferAudioBufferList.h"
#include "platform/core/Log.h"

#include <opus/opus.h>

#include <algorithm>
#include <cstring>

namespace vm {

OpusCodecEncoder::OpusCodecEncoder(int sampleRate, int numberOfChannels)
    : OpusCodec(sampleRate, numberOfChannels) {}

OpusCodecEncoder::~OpusCodecEncoder() {
    if (encoder_) {
        opus_encoder_destroy(encoder_);
    }
    if (circularBuffer_) {
        RingBufferCleanup(circularBuffer_.get());
    }
}

int OpusCodecEncoder::opusApplicationForOpusCodecApplication(int application) {
    switch (application) {
        case 0: return OPUS_APPLICATION_VOIP;
        case 1: return OPUS_APPLICATION_AUDIO;
        case 2: return OPUS_APPLICATION_RESTRICTED_LOWDELAY;
        default: return -1;
    }
}

int OpusCodecEncoder::opusBandwidthForOpusCodecBandwidth(int bandwidth) {
    if (bandwidth >= 0 && bandwidth <= 4) {
        return OPUS_BANDWIDTH_NARROWBAND + bandwidth;
    }
    return -1;
}

std::shared_ptr<OpusCodecEncoder> OpusCodecEncoder::encoderForASBD(
    const AudioStreamBasicDescription& format, int application, Error* error) {
    // The encoder reads whole frames of 16-bit integers or 32-bit floats, interleaved or one
    // buffer per channel (a frame of such a buffer is one sample).
    const bool isFloat = format.mFormatFlags & kAudioFormatFlagIsFloat;
    const bool interleaved = !(format.mFormatFlags & kAudioFormatFlagIsNonInterleaved);
    const std::uint32_t bits = isFloat ? 32 : 16;
    const std::uint32_t samplesPerFrame = interleaved ? format.mChannelsPerFrame : 1;
    if (format.mFormatID != kAudioFormatLinearPCM || format.mBitsPerChannel != bits ||
        format.mChannelsPerFrame == 0 || format.mBytesPerFrame != bits / 8 * samplesPerFrame) {
        setError(error, OpusCodecUtilities::errorForOpusErrorCode(
                            OPUS_BAD_ARG,
                            "The encoder takes linear PCM of 16-bit integers or "
                            "32-bit floats in whole frames"));
        return nullptr;
    }
    auto encoder =
        std::make_shared<OpusCodecEncoder>(int(format.mSampleRate), int(format.mChannelsPerFrame));
    encoder->inputASBD_ = format;
    if (!encoder->setupEncoderWithApplication(application, error)) {
        return nullptr;
    }
    return encoder;
}

bool OpusCodecEncoder::setupEncoderWithApplication(int application, Error* error) {
    std::lock_guard lock(encoderMutex_);
    if (encoder_) {
        return true;
    }
    int result = OPUS_OK;
    encoder_ = opus_encoder_create(sampleRate(), numberOfChannels(),
                                   opusApplicationForOpusCodecApplication(application), &result);
    if (result != OPUS_OK || !encoder_) {
        encoder_ = nullptr;
        setError(error, OpusCodecUtilities::errorForOpusErrorCode(
                            result != OPUS_OK ? result : OPUS_ALLOC_FAIL));
        return false;
    }
    encoderBufferLength_ = kEncoderBufferLength;
    encoderOutputBuffer_.assign(encoderBufferLength_, 0);
    circularBuffer_ = std::make_unique<RingBuffer>();
    if (!RingBufferInit(circularBuffer_.get(), kCircularBufferLength)) {
        log("Error allocating circular buffer");
        circularBuffer_.reset();
        return false;
    }
    // One packet's frames, as one interleaved buffer; a format of one buffer per channel is
    // dequeued into a run per channel first.
    const std::size_t channels = std::size_t(std::max(numberOfChannels(), 1));
    const std::size_t runBytes = std::size_t(kFrameSize) * inputASBD_.mBytesPerFrame;
    const bool interleaved = !(inputASBD_.mFormatFlags & kAudioFormatFlagIsNonInterleaved);
    frameData_.assign(interleaved ? runBytes : runBytes * channels, 0);
    channelData_.assign(interleaved ? 0 : runBytes * channels, 0);
    frameList_.assign(audioBufferListSize(interleaved ? 1 : std::uint32_t(channels)), 0);
    return true;
}

void OpusCodecEncoder::control(int request, int value) {
    processingQueue()->async([weak = weak_from_this(), request, value] {
        auto self = weak.lock();
        if (!self) {
            return;
        }
        std::lock_guard lock(self->encoderMutex_);
        switch (request) {
            case OPUS_SET_BITRATE_REQUEST:
                opus_encoder_ctl(self->encoder_, OPUS_SET_BITRATE(value));
                break;
            case OPUS_SET_COMPLEXITY_REQUEST:
                opus_encoder_ctl(self->encoder_, OPUS_SET_COMPLEXITY(value));
                break;
            case OPUS_SET_BANDWIDTH_REQUEST:
                opus_encoder_ctl(self->encoder_, OPUS_SET_BANDWIDTH(value));
                break;
            case OPUS_SET_INBAND_FEC_REQUEST:
                opus_encoder_ctl(self->encoder_, OPUS_SET_INBAND_FEC(value));
                break;
            default: break;
        }
    });
}

void OpusCodecEncoder::setBitrate(std::uint64_t bitrate) {
    if (!encoder_) {
        return;
    }
    bitrate_ = bitrate;
    control(OPUS_SET_BITRATE_REQUEST, int(bitrate));
}

void OpusCodecEncoder::setComplexity(std::uint64_t complexity) {
    if (!encoder_) {
        return;
    }
    complexity_ = complexity;
    control(OPUS_SET_COMPLEXITY_REQUEST, int(complexity));
}

void OpusCodecEncoder::setMaxBandwidth(std::uint64_t maxBandwidth) {
    if (!encoder_) {
        return;
    }
    maxBandwidth_ = maxBandwidth;
    control(OPUS_SET_BANDWIDTH_REQUEST, opusBandwidthForOpusCodecBandwidth(int(maxBandwidth)));
}

void OpusCodecEncoder::setUseInBandFEC(bool useInBandFEC) {
    if (!encoder_) {
        return;
    }
    useInBandFEC_ = useInBandFEC;
    control(OPUS_SET_INBAND_FEC_REQUEST, useInBandFEC ? 1 : 0);
}

void OpusCodecEncoder::interleave(std::uint32_t channels, std::uint32_t sampleBytes) {
    const std::size_t runBytes = std::size_t(kFrameSize) * sampleBytes;
    for (std::uint32_t c = 0; c < channels; ++c) {
        const std::uint8_t* run = channelData_.data() + c * runBytes;
        for (std::uint32_t frame = 0; frame < kFrameSize; ++frame) {
            std::memcpy(frameData_.data() + (std::size_t(frame) * channels + c) * sampleBytes,
                        run + std::size_t(frame) * sampleBytes, sampleBytes);
        }
    }
}

std::uint32_t OpusCodecEncoder::heldFrames() {
    return circularBuffer_ ? RingBufferPeekFrames(circularBuffer_.get(), inputASBD_) : 0;
}

void OpusCodecEncoder::encodeBufferList(const AudioBufferList* bufferList,
                                        const Completion& completion) {
    if (!completion || !bufferList || bufferList->mNumberBuffers == 0) {
        return;
    }
    std::lock_guard lock(encoderMutex_);
    RingBuffer* ring = circularBuffer_.get();
    const std::uint32_t bytesPerFrame = inputASBD_.mBytesPerFrame;
    if (!encoder_ || !ring || bytesPerFrame == 0) {
        return;
    }
    const bool interleaved = !(inputASBD_.mFormatFlags & kAudioFormatFlagIsNonInterleaved);
    const std::uint32_t channels = std::uint32_t(numberOfChannels());
    if (!interleaved && bufferList->mNumberBuffers != channels) {
        return;
    }
    const std::uint32_t listFrames = bufferList->mBuffers[0].mDataByteSize / bytesPerFrame;
    if (!RingBufferCopyAudioBufferList(ring, bufferList, listFrames, inputASBD_)) {
        log("insufficient space in circular buffer!");
    }
    // Frames held: the audio in the records, not their headers.
    std::uint32_t frames = RingBufferPeekFrames(ring, inputASBD_);
    const bool isFloat = inputASBD_.mFormatFlags & kAudioFormatFlagIsFloat;
    auto* list = reinterpret_cast<AudioBufferList*>(frameList_.data());
    const std::uint32_t runBytes = kFrameSize * bytesPerFrame;
    while (frames >= kFrameSize) {
        if (interleaved) {
            list->mNumberBuffers = 1;
            list->mBuffers[0] = AudioBuffer{channels, runBytes, frameData_.data()};
        } else {
            list->mNumberBuffers = channels;
            for (std::uint32_t c = 0; c < channels; ++c) {
                audioBuffers(list)[c] =
                    AudioBuffer{1, runBytes, channelData_.data() + c * runBytes};
            }
        }
        std::uint32_t taken = kFrameSize;
        RingBufferDequeueBufferListFrames(ring, &taken, list, inputASBD_);
        if (!interleaved) {
            interleave(channels, bytesPerFrame);
        }
        const opus_int32 result =
            isFloat ? opus_encode_float(encoder_, reinterpret_cast<const float*>(frameData_.data()),
                                        int(kFrameSize), encoderOutputBuffer_.data(),
                                        opus_int32(encoderBufferLength_))
                    : opus_encode(encoder_, reinterpret_cast<const opus_int16*>(frameData_.data()),
                                  int(kFrameSize), encoderOutputBuffer_.data(),
                                  opus_int32(encoderBufferLength_));
        if (result < 0) {
            const Error error = OpusCodecUtilities::errorForOpusErrorCode(result);
            completion(Bytes(), &error);
            return;
        }
        completion(
            Bytes(reinterpret_cast<const char*>(encoderOutputBuffer_.data()), std::size_t(result)),
            nullptr);
        frames -= kFrameSize;
    }
}

}  // namespace vm
