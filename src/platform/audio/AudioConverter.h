#pragma once
// Converts linear PCM from one format to another: sample type and byte order, interleaved or
// one buffer per channel, mono to many channels (copied) or many to mono (averaged), and sample
// rate (libsamplerate). Input is pulled through an input procedure as output is asked for, so a
// resampling converter can be fed by a source that renders on demand. Nothing is allocated after
// creation. One thread at a time.
#include "platform/audio/AudioTypes.h"
#include "platform/audio/SampleFormat.h"

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

typedef struct SRC_STATE_tag SRC_STATE;

namespace vm {

// Points the buffers of `ioData` (which has as many buffers as the input format has) at input
// for up to *ioNumberDataPackets packets, and sets their byte sizes; may lower the count. The
// frames delivered are the smaller of the count and what the byte sizes hold; none means no input
// for now. A non-zero status ends the conversion with that status.
//
// A reference to the caller's callable, valid for the call it is passed to: converting on an
// audio thread allocates nothing, whatever the callable captures.
class AudioConverterInputProc {
public:
    template <class F>
    requires(!std::is_same_v<std::remove_cvref_t<F>, AudioConverterInputProc>)
        AudioConverterInputProc(F&& f)  // from any callable, as std::function converts
        : object_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
          call_([](void* object, std::uint32_t* count, AudioBufferList* data,
                   AudioStreamPacketDescription** descriptions) -> OSStatus {
              return (*static_cast<std::remove_reference_t<F>*>(object))(count, data, descriptions);
          }) {}

    OSStatus operator()(std::uint32_t* ioNumberDataPackets, AudioBufferList* ioData,
                        AudioStreamPacketDescription** outPacketDescriptions) const {
        return call_(object_, ioNumberDataPackets, ioData, outPacketDescriptions);
    }

private:
    void* object_;
    OSStatus (*call_)(void*, std::uint32_t*, AudioBufferList*, AudioStreamPacketDescription**);
};

class AudioConverter {
public:
    // The input procedure is never asked for more frames than this at once.
    static constexpr std::uint32_t kChunk = 1024;

    static OSStatus create(const AudioStreamBasicDescription& source,
                           const AudioStreamBasicDescription& destination,
                           std::unique_ptr<AudioConverter>* converter);
    ~AudioConverter();
    AudioConverter(const AudioConverter&) = delete;
    AudioConverter& operator=(const AudioConverter&) = delete;

    // Writes up to *ioOutputDataPackets packets into `outData`, never more than its buffers' byte
    // sizes hold; on return the count and the byte sizes say what was written. Packet
    // descriptions belong to formats with packets of varying size, which this converter does not
    // produce; the argument is accepted and left alone.
    OSStatus fillComplexBuffer(AudioConverterInputProc input, std::uint32_t* ioOutputDataPackets,
                               AudioBufferList* outData,
                               AudioStreamPacketDescription* outPacketDescriptions);

    // Bytes of the largest output packet.
    OSStatus maximumOutputPacketSize(std::uint32_t* size) const;

    // Forgets held input and the resampler's history.
    void reset();

    const AudioStreamBasicDescription& sourceFormat() const { return sourceFormat_; }
    const AudioStreamBasicDescription& destinationFormat() const { return destinationFormat_; }

private:
    AudioConverter() = default;
    // Asks the input procedure for up to `want` frames and stores them, mapped to the output
    // channels, interleaved, at `dst`. Returns the frames stored in *got.
    OSStatus pull(AudioConverterInputProc input, std::uint32_t want, float* dst,
                  std::uint32_t* got);
    void write(const float* frames, std::uint32_t count, AudioBufferList* out,
               std::uint32_t at) const;

    AudioStreamBasicDescription sourceFormat_{};
    AudioStreamBasicDescription destinationFormat_{};
    PcmLayout in_;
    PcmLayout out_;
    double ratio_ = 1;  // output rate / input rate
    SRC_STATE* resampler_ = nullptr;
    std::vector<std::uint8_t> inputList_;  // the list handed to the input procedure
    std::vector<float> decoded_;           // one chunk, input channels, interleaved
    std::vector<float> mapped_;            // one chunk, output channels, interleaved
    std::vector<float> resampled_;         // one chunk, output channels, interleaved
    std::uint32_t heldFrames_ = 0;         // resampler input waiting in mapped_
    std::uint32_t heldOffset_ = 0;
    // Input frames the resampler has taken in beyond its output so far, and the most of them it
    // was seen to need before it could go on (its look-ahead).
    double stock_ = 0;
    double lookahead_ = 0;
};

}  // namespace vm
