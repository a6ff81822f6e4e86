#include "support/sim/SimVita.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace vm::sim {

namespace {

void put16(std::string& out, uint16_t v) {
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
}

void put32(std::string& out, uint32_t v) {
    put16(out, static_cast<uint16_t>(v >> 16));
    put16(out, static_cast<uint16_t>(v));
}

void put64(std::string& out, uint64_t v) {
    put32(out, static_cast<uint32_t>(v >> 32));
    put32(out, static_cast<uint32_t>(v));
}

bool carriesStreamId(const VitaHeader& h) { return h.packetType == 1 || h.packetType == 3; }

}  // namespace

size_t vitaHeaderSize(const VitaHeader& h) {
    return 4 + (carriesStreamId(h) ? 4 : 0) + (h.classIdPresent ? 8 : 0) + (h.tsi ? 4 : 0) +
           (h.tsf ? 8 : 0);
}

std::string encodeVita(const VitaHeader& h, std::string_view payload) {
    std::string body(payload);
    if (h.trailerPresent) {
        body.resize((body.size() + 3) / 4 * 4, '\0');
    }
    const size_t bytes = vitaHeaderSize(h) + body.size() + (h.trailerPresent ? 4 : 0);
    const auto words = static_cast<uint16_t>((bytes + 3) / 4);

    std::string out;
    out.reserve(bytes);
    put32(out, (uint32_t{h.packetType} & 0xF) << 28 | uint32_t{h.classIdPresent} << 27 |
                   uint32_t{h.trailerPresent} << 26 | (uint32_t{h.tsi} & 3) << 22 |
                   (uint32_t{h.tsf} & 3) << 20 | (uint32_t{h.packetCount} & 0xF) << 16 | words);
    if (carriesStreamId(h)) {
        put32(out, h.streamId);
    }
    if (h.classIdPresent) {
        put32(out, h.oui);
        put16(out, h.informationClassCode);
        put16(out, h.packetClassCode);
    }
    if (h.tsi) {
        put32(out, h.integerTimestamp);
    }
    if (h.tsf) {
        put32(out, h.fracTimeStamp0);
        put32(out, h.fracTimeStamp1);
    }
    out += body;
    if (h.trailerPresent) {
        put32(out, h.trailer);
    }
    return out;
}

VitaHeader streamHeader(uint16_t classCode, uint32_t streamId, uint8_t packetCount) {
    VitaHeader h;
    h.packetClassCode = classCode;
    h.streamId = streamId;
    h.packetCount = packetCount & 0xF;
    return h;
}

std::string meterPayload(const std::vector<MeterValue>& values) {
    std::string out;
    for (const MeterValue& v : values) {
        put16(out, v.meter);
        put16(out, static_cast<uint16_t>(v.value));
    }
    return out;
}

std::string fftPayload(const FftFrame& f) {
    const auto numBins = static_cast<uint16_t>(f.bins.size());
    const auto total = f.totalBins ? f.totalBins : static_cast<uint16_t>(f.startBin + numBins);
    std::string out;
    put16(out, f.startBin);
    if (f.olderLayout) {
        put32(out, 0);
        put16(out, numBins);
        put16(out, 0);
        put16(out, f.binSize);
    } else {
        put16(out, numBins);
        put16(out, f.binSize);
        put16(out, total);
    }
    put32(out, f.frameIndex);
    for (uint16_t bin : f.bins) {
        put16(out, bin);
    }
    return out;
}

std::string waterfallPayload(const WaterfallTile& t) {
    std::string out;
    put64(out, t.firstPixelFreq);
    put64(out, t.binBandwidth);
    put32(out, t.lineDuration);
    put16(out, t.width);
    put16(out, t.height);
    put32(out, t.timecode);
    put32(out, t.autoBlack);
    if (!t.olderLayout) {
        put16(out, t.totalBins);
        put16(out, t.firstBin);
    }
    for (uint16_t value : t.data) {
        put16(out, value);
    }
    return out;
}

namespace {

// [begin, end) of run `index` when `count` items are cut into `runs` runs of nearly equal length.
std::pair<size_t, size_t> runBounds(size_t count, size_t runs, size_t index) {
    return {count * index / runs, count * (index + 1) / runs};
}

}  // namespace

std::vector<std::string> fftFramePayloads(const std::vector<uint16_t>& bins, uint32_t frameIndex,
                                          size_t packets, bool olderLayout) {
    std::vector<std::string> out;
    for (size_t i = 0; i < packets; ++i) {
        const auto [begin, end] = runBounds(bins.size(), packets, i);
        FftFrame frame;
        frame.startBin = static_cast<uint16_t>(begin);
        frame.totalBins = static_cast<uint16_t>(bins.size());
        frame.frameIndex = frameIndex;
        frame.bins.assign(bins.begin() + static_cast<std::ptrdiff_t>(begin),
                          bins.begin() + static_cast<std::ptrdiff_t>(end));
        frame.olderLayout = olderLayout;
        out.push_back(fftPayload(frame));
    }
    return out;
}

std::vector<std::string> waterfallLinePayloads(const WaterfallTile& line, size_t segments) {
    std::vector<std::string> out;
    for (size_t i = 0; i < segments; ++i) {
        const auto [begin, end] = runBounds(line.data.size(), segments, i);
        WaterfallTile segment = line;
        segment.firstPixelFreq = line.firstPixelFreq + line.binBandwidth * begin;
        segment.width = static_cast<uint16_t>(end - begin);
        segment.height = 1;
        segment.totalBins = static_cast<uint16_t>(line.data.size());
        segment.firstBin = static_cast<uint16_t>(begin);
        segment.olderLayout = false;
        segment.data.assign(line.data.begin() + static_cast<std::ptrdiff_t>(begin),
                            line.data.begin() + static_cast<std::ptrdiff_t>(end));
        out.push_back(waterfallPayload(segment));
    }
    return out;
}

uint64_t tileFrequency(double mhz) {
    return static_cast<uint64_t>(std::llround(mhz * 1.048576e12));
}

std::string malformedPacket(Malformation kind, uint16_t classCode, uint32_t streamId) {
    const VitaHeader header = streamHeader(classCode, streamId);
    const std::string valid = encodeVita(header, meterPayload({{1, 100}, {2, 200}}));
    switch (kind) {
        case Malformation::Short: return valid.substr(0, 12);
        case Malformation::TruncatedHeader: return valid.substr(0, 24);
        case Malformation::LyingLength: {
            std::string out = encodeVita(header, {});
            out[0] = static_cast<char>(out[0] | 0x04);  // trailer flag
            out[2] = '\xFF';
            out[3] = '\xFF';
            return out;
        }
        case Malformation::WrongOui: {
            VitaHeader foreign = header;
            foreign.oui = 0x00A0B0C0;
            return encodeVita(foreign, meterPayload({{1, 100}, {2, 200}}));
        }
    }
    return {};
}

}  // namespace vm::sim
