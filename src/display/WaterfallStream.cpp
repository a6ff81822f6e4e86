// The waterfall's tile packets (class 0x8004). Payload, all numbers big-endian:
//
//   0  first pixel frequency (u64, MHz x 2^20 x 10^6)   24 timecode (u32)
//   8  bin bandwidth (u64, same scaling)                28 auto black level (u32)
//   16 line duration (u32)                              32 bins in the line (u16, 3.3 and later)
//   20 width (u16)                                      34 first bin index (u16, 3.3 and later)
//   22 height (u16)
//   then width x height values (u16), line after line, from byte 36 (3.3 and later) or 32.
//
// Nothing is read before the payload is known to hold its whole header; the tile's size is
// computed in 64 bits, and a tile that does not fit its datagram is dropped, never partly read.
#include "display/BigEndian.h"
#include "display/Waterfall.h"
#include "platform/core/Log.h"
#include "radio/VITA.h"

namespace vm {

namespace {

constexpr double kLayout33Version = 3.3;
constexpr std::uint32_t kHeader33 = 36;
constexpr std::uint32_t kOlderHeader = 32;
constexpr double kFrequencyScale = 1.048576e12;  // 2^20 x 10^6 per MHz

}  // namespace

void Waterfall::streamHandler(const VITA& packet) {
    const bool layout33 = packet.fversion >= kLayout33Version;
    const std::uint32_t headerSize = layout33 ? kHeader33 : kOlderHeader;
    if (!packet.payload || packet.payloadLength < headerSize) {
        log("Waterfall:streamHandler:discard short tile: payload:[{}] header:[{}]",
            packet.payloadLength, headerSize);
        return;
    }
    const char* payload = packet.payload;
    const std::uint32_t tileTimecode = bigendian::read32(payload + 24);
    if (tileTimecode < timecode_.load(std::memory_order_relaxed)) {
        droppedTiles_.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    timecode_.store(tileTimecode, std::memory_order_relaxed);
    if (!delegate_.isSet()) {
        return;
    }

    auto tile = std::make_shared<WaterfallTile>();
    tile->firstPixelFreq = static_cast<double>(bigendian::read64(payload)) / kFrequencyScale;
    tile->binBandwidth = static_cast<double>(bigendian::read64(payload + 8)) / kFrequencyScale;
    tile->lineDuration = bigendian::read32(payload + 16);
    tile->width = bigendian::read16(payload + 20);
    tile->height = bigendian::read16(payload + 22);
    tile->timecode = tileTimecode;
    tile->autoBlackLevel = bigendian::read32(payload + 28);
    if (layout33) {
        tile->totalBinsInFrame = bigendian::read16(payload + 32);
        tile->firstBinIndex = bigendian::read16(payload + 34);
    }
    tile->fversion = packet.fversion;

    const std::uint64_t values = std::uint64_t{tile->width} * tile->height;
    if (packet.payloadLength - headerSize < values * 2) {
        log("Waterfall:streamHandler:discard oversize tile: tile.timecode:[{}] width:[{}] "
            "height:[{}] tileBufferLength:[{}]",
            tile->timecode, tile->width, tile->height, values * 2);
        return;
    }
    tile->waterFallBinData.resize(values);
    bigendian::copy16ToHost(payload + headerSize, values, tile->waterFallBinData.data());
    if (tiles_.add(std::move(tile))) {
        runQueue()->async([weak = weak_from_this()] {
            if (const auto self = weak.lock()) {
                self->tiles_.deliver([&](const auto& ready) {
                    if (const auto view = self->delegate()) {
                        view->waterfallTile(ready);
                    }
                });
            }
        });
    }
}

}  // namespace vm
