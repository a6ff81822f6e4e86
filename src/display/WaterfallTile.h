#pragma once
// One waterfall tile, as the waterfall hands it to its view (WaterfallData). A tile holds `height`
// lines of `width` bins. Radios before firmware 3.3 send each line whole (`firstBinIndex` and
// `totalBinsInFrame` 0); from 3.3 on a line may come in several segments that share its
// `timecode`: the segment with `firstBinIndex` 0 begins the line and the view appends the
// following ones until the line's width reaches `totalBinsInFrame`.
#include <cstdint>
#include <memory>
#include <vector>

namespace vm {

struct WaterfallTile {
    double firstPixelFreq = 0;           // MHz at the tile's first column
    double binBandwidth = 0;             // MHz per column
    std::uint32_t lineDuration = 0;      // duration of one line, as the radio states it
    std::uint16_t width = 0;             // columns per line (the view grows it when it joins)
    std::uint16_t height = 0;            // lines in the tile
    std::uint32_t timecode = 0;          // the segments of one line share it
    std::uint32_t autoBlackLevel = 0;    // the black level the radio computed
    std::uint16_t totalBinsInFrame = 0;  // columns of the whole line (0 before firmware 3.3)
    std::uint16_t firstBinIndex = 0;     // the tile's first column in the whole line (0 before 3.3)
    double fversion = 0;                 // firmware version of the radio (major.minor)
    // width x height values in host byte order, line after line; the tile's own copy, so a view
    // may keep and extend it.
    std::vector<std::uint16_t> waterFallBinData;
};

// The waterfall's view. Called on the waterfall's serial queue, one tile at a time in arrival
// order; the tile is the view's to keep and change.
class WaterfallData {
public:
    virtual ~WaterfallData() = default;
    virtual void waterfallTile(const std::shared_ptr<WaterfallTile>& tile) = 0;

protected:
    WaterfallData() = default;
};

}  // namespace vm
