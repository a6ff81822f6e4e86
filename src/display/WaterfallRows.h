#pragma once
// The waterfall view's stored rows, newest first: row i is painted into pixel row i of the
// picture. Radios before firmware 3.3 send every row whole; later ones may send a row in
// segments that share its timecode, the first beginning at bin 0, which are joined here until the
// row holds the frame's total of bins. Rows are painted against the panadapter's current start
// frequency and span, not the ones they arrived with, so the picture follows a moved centre.
//
// Not thread-safe: the waterfall view keeps its rows on the main thread.
#include "display/WaterfallTile.h"

#include <cstdint>
#include <deque>
#include <memory>

namespace vm {

class WaterfallRows {
public:
    enum class Intake {
        Complete,    // a whole row is now at index 0
        Incomplete,  // the row at index 0 waits for more segments
        Dropped,     // the tile belongs to no row (other timecode, nothing to continue, empty)
    };

    // Takes a tile into the rows: a whole row or a first segment is put in front, a following
    // segment of the same timecode joins the row in front. Only the tile's first line is kept. A
    // joined row never holds more than the frame's total, nor more than 65535 bins. At most
    // `maxRows` rows are kept (the oldest go).
    Intake store(const std::shared_ptr<WaterfallTile>& tile, int maxRows);

    // Paints `pixels` pixels of 3 bytes from stored row `row`: pixel x shows the bin at
    // round(x × mhzPerPixel / binBandwidth) + round((startMHz − firstPixelFreq) / binBandwidth),
    // through the colour map (value 0 where the row has no such bin). Beyond the stored rows the
    // whole line takes `background` (its low three bytes, lowest first).
    void paintRow(int row, std::uint8_t* line, int pixels, double startMHz, double mhzPerPixel,
                  const std::uint32_t* colorMap, std::uint32_t background) const;

    int size() const { return static_cast<int>(rows_.size()); }
    const WaterfallTile& at(int row) const { return *rows_.at(static_cast<std::size_t>(row)); }
    void clear() { rows_.clear(); }

private:
    std::deque<std::shared_ptr<WaterfallTile>> rows_;
};

}  // namespace vm
