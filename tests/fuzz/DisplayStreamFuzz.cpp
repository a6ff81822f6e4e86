// Arbitrary payloads as FFT packets (fuzz_fft_intake) or waterfall tiles (fuzz_tile_intake): the
// first byte picks the firmware layout (even: older than 3.3, odd: 3.3), the rest is the VITA
// payload, in a buffer of exactly that size. The views read every bin they are given, so a frame
// or tile that points past its datagram shows up at once.
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "platform/core/Log.h"
#include "radio/VITA.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

using namespace vm;

struct ReadingViews : PanafallData, WaterfallData {
    void fftFrame(const PanafallFFTFrame& frame) override {
        for (std::uint32_t i = 0; i < frame.numBins; ++i) {
            sum += frame.bins[i];
        }
    }
    void waterfallTile(const std::shared_ptr<WaterfallTile>& tile) override {
        for (const std::uint16_t value : tile->waterFallBinData) {
            sum += value;
        }
    }
    unsigned sum = 0;
};

struct Setup {
    std::shared_ptr<ReadingViews> views = std::make_shared<ReadingViews>();
    Setup() {
        setLogSink([](std::string_view) {});
    }
};

VITA packetOf(const std::uint8_t* data, std::size_t size) {
    VITA packet;
    packet.fversion = size > 0 && (data[0] & 1) ? 3.3 : 3.2;
    const std::size_t skip = size > 0 ? 1 : 0;
    packet.datagram = std::string_view(reinterpret_cast<const char*>(data) + skip, size - skip);
    packet.payload = packet.datagram.data();
    packet.payloadLength = static_cast<std::uint32_t>(packet.datagram.size());
    return packet;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Setup& setup = *new Setup;  // never destroyed: the dispatch threads go first at exit
    const VITA packet = packetOf(data, size);
#ifdef VM_FUZZ_TILES
    const auto waterfall = Waterfall::create(nullptr, "0x42000000");
    waterfall->setDelegate(setup.views);
    waterfall->streamHandler(packet);
    waterfall->runQueue()->sync([] {});
#else
    const auto pan = Panafall::create(nullptr, "0x40000000");
    pan->setDelegate(setup.views);
    pan->streamHandler(packet);
    pan->runQueue()->sync([] {});
#endif
    return 0;
}
