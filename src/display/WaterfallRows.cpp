#include "display/WaterfallRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vm {
namespace {

constexpr double kFirstLayoutWithSegments = 3.3;
constexpr std::size_t kMaxBins = 65535;

// The tile's first line only: its width, never more than its data holds.
void keepFirstLine(WaterfallTile& tile) {
    tile.width =
        static_cast<std::uint16_t>(std::min<std::size_t>(tile.width, tile.waterFallBinData.size()));
    tile.waterFallBinData.resize(tile.width);
}

std::size_t rowLimit(const WaterfallTile& row) {
    return row.totalBinsInFrame ? std::min<std::size_t>(row.totalBinsInFrame, kMaxBins) : kMaxBins;
}

}  // namespace

WaterfallRows::Intake WaterfallRows::store(const std::shared_ptr<WaterfallTile>& tile,
                                           int maxRows) {
    if (!tile || tile->height == 0) {
        return Intake::Dropped;
    }
    keepFirstLine(*tile);
    Intake intake = Intake::Complete;
    if (tile->fversion < kFirstLayoutWithSegments || tile->firstBinIndex == 0) {
        rows_.push_front(tile);
        if (tile->fversion >= kFirstLayoutWithSegments && tile->width < tile->totalBinsInFrame) {
            intake = Intake::Incomplete;
        }
    } else {
        if (rows_.empty()) {
            return Intake::Dropped;
        }
        WaterfallTile& row = *rows_.front();
        const std::size_t limit = rowLimit(row);
        if (row.timecode != tile->timecode || row.width >= limit) {
            return Intake::Dropped;
        }
        const std::size_t added = std::min<std::size_t>(tile->width, limit - row.width);
        row.waterFallBinData.insert(row.waterFallBinData.end(), tile->waterFallBinData.begin(),
                                    tile->waterFallBinData.begin() + static_cast<long>(added));
        row.width = static_cast<std::uint16_t>(row.width + added);
        if (row.width < row.totalBinsInFrame) {
            intake = Intake::Incomplete;
        }
    }
    while (size() > std::max(maxRows, 0)) {
        rows_.pop_back();
    }
    return intake;
}

void WaterfallRows::paintRow(int row, std::uint8_t* line, int pixels, double startMHz,
                             double mhzPerPixel, const std::uint32_t* colorMap,
                             std::uint32_t background) const {
    if (pixels <= 0) {
        return;
    }
    if (row < 0 || row >= size()) {
        const std::uint8_t blue[3] = {static_cast<std::uint8_t>(background),
                                      static_cast<std::uint8_t>(background >> 8),
                                      static_cast<std::uint8_t>(background >> 16)};
        for (int x = 0; x < pixels; ++x) {
            std::memcpy(line + 3 * x, blue, 3);
        }
        return;
    }
    const WaterfallTile& tile = at(row);
    const double binsPerPixel = mhzPerPixel / tile.binBandwidth;
    const double firstBin = std::round((startMHz - tile.firstPixelFreq) / tile.binBandwidth);
    const double width = tile.width;
    const std::uint16_t* bins = tile.waterFallBinData.data();
    for (int x = 0; x < pixels; ++x) {
        // In doubles, so that a zero bin bandwidth or a far-off row reads no bin at all.
        const double bin = std::round(x * binsPerPixel) + firstBin;
        const std::uint16_t value =
            bin >= 0 && bin < width ? bins[static_cast<std::size_t>(bin)] : 0;
        std::memcpy(line + 3 * x, &colorMap[value], 3);
    }
}

}  // namespace vm
