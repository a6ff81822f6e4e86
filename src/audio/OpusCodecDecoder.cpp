#include "audio/OpusCodecDecoder.h"

#include "audio/OpusCodecUtilities.h"
#include "platform/core/Log.h"

#include <opus/opus.h>

#include <climits>

namespace vm {

namespace {

std::string describe(const Bytes& data) {
    std::string text = "<";
    static const char* const digits = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size() && i < 32; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text + (data.size() > 32 ? "...>" : ">");
}

}  // namespace

OpusCodecDecoder::OpusCodecDecoder(int sampleRate, int numberOfChannels)
    : OpusCodec(sampleRate, numberOfChannels) {
    const int channels = numberOfChannels > 0 ? numberOfChannels : 0;
    decoderBufferLength_ = std::uint64_t(channels) * kMaximumFrames * 2;
    outputBuffer_.assign(std::size_t(channels) * kMaximumFrames, 0);
}

OpusCodecDecoder::~OpusCodecDecoder() {
    if (decoder_) {
        opus_decoder_destroy(decoder_);
    }
}

std::shared_ptr<OpusCodecDecoder> OpusCodecDecoder::decoderForASBD(
    const AudioStreamBasicDescription& format, Error* error) {
    auto decoder =
        std::make_shared<OpusCodecDecoder>(int(format.mSampleRate), int(format.mChannelsPerFrame));
    if (!decoder->setupDecoderWithError(error)) {
        return nullptr;
    }
    return decoder;
}

bool OpusCodecDecoder::setupDecoderWithError(Error* error) {
    if (decoder_) {
        return true;
    }
    int result = OPUS_OK;
    decoder_ = opus_decoder_create(sampleRate(), numberOfChannels(), &result);
    if (result != OPUS_OK || !decoder_) {
        decoder_ = nullptr;
        setError(error, OpusCodecUtilities::errorForOpusErrorCode(
                            result != OPUS_OK ? result : OPUS_ALLOC_FAIL));
        return false;
    }
    return true;
}

int OpusCodecDecoder::decode(const Bytes& packet) {
    if (!decoder_) {
        return OPUS_INVALID_STATE;
    }
    if (packet.size() > std::size_t(INT_MAX)) {
        return OPUS_INVALID_PACKET;
    }
    return opus_decode(decoder_, reinterpret_cast<const unsigned char*>(packet.data()),
                       opus_int32(packet.size()), outputBuffer_.data(), kMaximumFrames,
                       forwardErrorCorrection_ ? 1 : 0);
}

void OpusCodecDecoder::decodePacketSync(const Bytes& packet, const Completion& completion) {
    if (!completion || packet.empty()) {
        log("decodePacketSync: {} {} {}", completion ? "<block>" : "(null)", describe(packet),
            packet.size());
        return;
    }
    const int frames = decode(packet);
    if (frames < 0) {
        log("decodePacketSync:error:[{}]",
            OpusCodecUtilities::errorForOpusErrorCode(frames).description);
        return;
    }
    const Bytes pcm(reinterpret_cast<const char*>(outputBuffer_.data()),
                    std::size_t(numberOfChannels()) * std::size_t(frames) * 2);
    completion(pcm, frames, nullptr);
}

void OpusCodecDecoder::decodePacket(const Bytes& packet, Completion completion) {
    if (!completion) {
        return;
    }
    processingQueue()->async([weak = weak_from_this(), packet, completion = std::move(completion)] {
        auto self = weak.lock();
        if (!self) {
            return;
        }
        const int frames = packet.empty() ? OPUS_BAD_ARG : self->decode(packet);
        if (frames < 0) {
            const Error error = OpusCodecUtilities::errorForOpusErrorCode(frames);
            completion(Bytes(), 0, &error);
            return;
        }
        const Bytes pcm(reinterpret_cast<const char*>(self->outputBuffer_.data()),
                        std::size_t(self->numberOfChannels()) * std::size_t(frames) * 2);
        completion(pcm, frames, nullptr);
    });
}

}  // namespace vm
