#include "platform/audio/AudioConverter.h"

#include <samplerate.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vm {

OSStatus AudioConverter::create(const AudioStreamBasicDescription& source,
                                const AudioStreamBasicDescription& destination,
                                std::unique_ptr<AudioConverter>* converter) {
    if (!converter) {
        return kAudioParamError;
    }
    converter->reset();
    PcmLayout in;
    PcmLayout out;
    if (!pcmLayout(source, &in) || !pcmLayout(destination, &out)) {
        return kAudioFormatUnsupportedError;
    }
    if (in.channels != out.channels && in.channels != 1 && out.channels != 1) {
        return kAudioFormatUnsupportedError;
    }
    std::unique_ptr<AudioConverter> made(new AudioConverter);
    made->sourceFormat_ = source;
    made->destinationFormat_ = destination;
    made->in_ = in;
    made->out_ = out;
    made->ratio_ = destination.mSampleRate / source.mSampleRate;
    if (made->ratio_ != 1) {
        int error = 0;
        made->resampler_ = src_new(SRC_SINC_MEDIUM_QUALITY, int(out.channels), &error);
        if (!made->resampler_ || src_is_valid_ratio(made->ratio_) == 0) {
            return kAudioFormatUnsupportedError;
        }
    }
    made->inputList_.resize(audioBufferListSize(in.buffers()));
    made->decoded_.resize(std::size_t(kChunk) * in.channels);
    made->mapped_.resize(std::size_t(kChunk) * out.channels);
    made->resampled_.resize(std::size_t(kChunk) * out.channels);
    *converter = std::move(made);
    return 0;
}

AudioConverter::~AudioConverter() {
    if (resampler_) {
        src_delete(resampler_);
    }
}

void AudioConverter::reset() {
    heldFrames_ = heldOffset_ = 0;
    stock_ = lookahead_ = 0;
    if (resampler_) {
        src_reset(resampler_);
    }
}

OSStatus AudioConverter::maximumOutputPacketSize(std::uint32_t* size) const {
    if (!size) {
        return kAudioParamError;
    }
    *size = out_.bytesPerFrame;
    return 0;
}

OSStatus AudioConverter::pull(AudioConverterInputProc input, std::uint32_t want, float* dst,
                              std::uint32_t* got) {
    *got = 0;
    auto* list = reinterpret_cast<AudioBufferList*>(inputList_.data());
    list->mNumberBuffers = in_.buffers();
    for (std::uint32_t b = 0; b < in_.buffers(); ++b) {
        audioBuffers(list)[b] = AudioBuffer{in_.interleaved ? in_.channels : 1, 0, nullptr};
    }
    std::uint32_t count = want;
    AudioStreamPacketDescription* descriptions = nullptr;
    if (OSStatus status = input(&count, list, &descriptions)) {
        return status;
    }
    std::uint32_t frames = std::min(count, want);
    if (list->mNumberBuffers < in_.buffers()) {
        return kAudioParamError;
    }
    for (std::uint32_t b = 0; b < in_.buffers(); ++b) {
        const AudioBuffer& buffer = audioBuffers(list)[b];
        frames = std::min(frames, buffer.mDataByteSize / in_.bytesPerFrame);
        if (!buffer.mData && frames > 0) {
            return kAudioParamError;
        }
    }
    // Decode to interleaved floats of the input channels.
    const std::uint32_t inChannels = in_.channels;
    for (std::uint32_t c = 0; c < inChannels; ++c) {
        const auto* base =
            static_cast<const std::uint8_t*>(audioBuffers(list)[in_.interleaved ? 0 : c].mData);
        const std::size_t offset = in_.interleaved ? std::size_t(c) * in_.bytesPerSample : 0;
        if (frames > 0) {
            decodeSamples(in_, base + offset, in_.bytesPerFrame, decoded_.data() + c, inChannels,
                          frames);
        }
    }
    // Map to the output channels.
    const std::uint32_t outChannels = out_.channels;
    if (inChannels == outChannels) {
        std::memcpy(dst, decoded_.data(), sizeof(float) * frames * inChannels);
    } else if (inChannels == 1) {
        for (std::uint32_t f = 0; f < frames; ++f) {
            std::fill_n(dst + std::size_t(f) * outChannels, outChannels, decoded_[f]);
        }
    } else {
        for (std::uint32_t f = 0; f < frames; ++f) {
            float sum = 0;
            for (std::uint32_t c = 0; c < inChannels; ++c) {
                sum += decoded_[std::size_t(f) * inChannels + c];
            }
            dst[f] = sum / float(inChannels);
        }
    }
    *got = frames;
    return 0;
}

void AudioConverter::write(const float* frames, std::uint32_t count, AudioBufferList* out,
                           std::uint32_t at) const {
    for (std::uint32_t c = 0; c < out_.channels; ++c) {
        auto* base = static_cast<std::uint8_t*>(audioBuffers(out)[out_.interleaved ? 0 : c].mData);
        const std::size_t offset = out_.interleaved ? std::size_t(c) * out_.bytesPerSample : 0;
        encodeSamples(out_, frames + c, out_.channels,
                      base + std::size_t(at) * out_.bytesPerFrame + offset, out_.bytesPerFrame,
                      count);
    }
}

OSStatus AudioConverter::fillComplexBuffer(
    AudioConverterInputProc input, std::uint32_t* ioOutputDataPackets, AudioBufferList* outData,
    AudioStreamPacketDescription* /*outPacketDescriptions*/) {
    if (!ioOutputDataPackets || !outData || outData->mNumberBuffers < out_.buffers()) {
        return kAudioParamError;
    }
    std::uint32_t capacity = *ioOutputDataPackets;
    for (std::uint32_t b = 0; b < out_.buffers(); ++b) {
        const AudioBuffer& buffer = audioBuffers(outData)[b];
        capacity = std::min(capacity, buffer.mData ? buffer.mDataByteSize / out_.bytesPerFrame : 0);
    }
    std::uint32_t written = 0;
    OSStatus status = 0;
    if (!resampler_) {
        while (written < capacity) {
            std::uint32_t got = 0;
            status = pull(input, std::min(capacity - written, kChunk), mapped_.data(), &got);
            if (status || got == 0) {
                break;
            }
            write(mapped_.data(), got, outData, written);
            written += got;
        }
    } else {
        bool inputEnded = false;
        while (written < capacity) {
            if (heldFrames_ == 0 && !inputEnded) {
                // Only what the resampler lacks for the rest of the output: libsamplerate takes in
                // all it is given, so asking for more each time would move input from the
                // caller's buffer into the resampler a little at every call, and the caller's
                // buffer would seem to run low while the resampler sat on its audio.
                const double needed = double(capacity - written) / ratio_ + lookahead_ - stock_;
                const auto want = std::uint32_t(std::clamp(std::ceil(needed), 1.0, double(kChunk)));
                status = pull(input, want, mapped_.data(), &heldFrames_);
                heldOffset_ = 0;
                if (status) {
                    break;
                }
                inputEnded = heldFrames_ == 0;
            }
            SRC_DATA data{};
            data.data_in = mapped_.data() + std::size_t(heldOffset_) * out_.channels;
            data.input_frames = long(heldFrames_);
            data.data_out = resampled_.data();
            data.output_frames = long(std::min(capacity - written, kChunk));
            data.src_ratio = ratio_;
            if (src_process(resampler_, &data) != 0) {
                status = kAudioFormatUnsupportedError;
                break;
            }
            heldOffset_ += std::uint32_t(data.input_frames_used);
            heldFrames_ -= std::uint32_t(data.input_frames_used);
            stock_ += double(data.input_frames_used) - double(data.output_frames_gen) / ratio_;
            if (heldFrames_ == 0 && data.output_frames_gen < data.output_frames) {
                lookahead_ = std::max(lookahead_, stock_);  // it ran out of input
            }
            write(resampled_.data(), std::uint32_t(data.output_frames_gen), outData, written);
            written += std::uint32_t(data.output_frames_gen);
            if (inputEnded && data.output_frames_gen == 0) {
                break;
            }
        }
    }
    for (std::uint32_t b = 0; b < out_.buffers(); ++b) {
        audioBuffers(outData)[b].mDataByteSize = written * out_.bytesPerFrame;
    }
    *ioOutputDataPackets = written;
    return status;
}

}  // namespace vm
