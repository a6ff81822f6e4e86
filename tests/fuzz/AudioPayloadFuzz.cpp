// Arbitrary bytes as a datagram of an audio stream: the VITA-49 decoding, then the receive path of
// an Opus stream (packet counting, the payload handed on, and the Opus decoder the remote audio
// plays through) and of a DAX stream (packet counting, the samples turned to host order and read).
#include "audio/AudioStreamHandlers.h"
#include "audio/DAXAudio.h"
#include "audio/OpusAudio.h"
#include "audio/OpusCodecDecoder.h"
#include "platform/core/Log.h"
#include "radio/VITA.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

using namespace vm;

struct Decoding : OpusStreamHandler {
    std::shared_ptr<OpusCodecDecoder> decoder = std::make_shared<OpusCodecDecoder>(24000, 2);
    unsigned sum = 0;

    Decoding() { decoder->setupDecoderWithError(nullptr); }
    void streamReceive(const StreamFrame& frame) override {
        const Bytes packet(frame.samples, static_cast<std::size_t>(frame.numSamples));
        decoder->decodePacketSync(packet, [this](const Bytes& pcm, int, const Error*) {
            for (const char byte : pcm)
                sum += static_cast<unsigned char>(byte);
        });
    }
};

struct Reading : DaxAudioStreamHandler {
    unsigned sum = 0;
    void streamReceive(const StreamFrame& frame) override {
        const auto bytes = static_cast<std::size_t>(frame.numSamples * frame.sizeofSample);
        if (frame.samples < frame.buffer->data() ||
            frame.samples + bytes > frame.buffer->data() + frame.buffer->size()) {
            std::abort();
        }
        for (std::size_t i = 0; i < bytes; ++i)
            sum += static_cast<unsigned char>(frame.samples[i]);
    }
};

struct Setup {
    std::shared_ptr<Decoding> decoding = std::make_shared<Decoding>();
    std::shared_ptr<Reading> reading = std::make_shared<Reading>();
    std::shared_ptr<OpusAudio> opus = OpusAudio::create();
    std::shared_ptr<DAXAudio> dax = DAXAudio::create();

    Setup() {
        setLogSink([](std::string_view) {});
        opus->setDelegate(decoding);
        dax->setDelegate(reading);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Never destroyed: the streams' timers would need the dispatch threads, gone at exit.
    static Setup& setup = *new Setup;
    const VITA packet(std::make_shared<Bytes>(reinterpret_cast<const char*>(data), size));
    setup.opus->streamHandler(packet);
    setup.dax->streamHandler(packet);
    // The deliveries went to the streams' run queues: done before the next input.
    setup.opus->runQueue()->sync([] {});
    setup.dax->runQueue()->sync([] {});
    return 0;
}
