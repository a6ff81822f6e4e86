// The waterfall view's rows: joining a row's segments by timecode, the limits of a join, and
// painting a row against the pan's current start frequency and span.
#include "display/WaterfallRows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

namespace vm {
namespace {

using Intake = WaterfallRows::Intake;

std::shared_ptr<WaterfallTile> segment(std::uint16_t firstBin, std::vector<std::uint16_t> bins,
                                       std::uint16_t total, std::uint32_t timecode,
                                       double fversion = 3.3) {
    auto tile = std::make_shared<WaterfallTile>();
    tile->firstBinIndex = firstBin;
    tile->width = static_cast<std::uint16_t>(bins.size());
    tile->height = 1;
    tile->totalBinsInFrame = total;
    tile->timecode = timecode;
    tile->fversion = fversion;
    tile->firstPixelFreq = 14.0;
    tile->binBandwidth = 0.001;
    tile->waterFallBinData = std::move(bins);
    return tile;
}

std::vector<std::uint16_t> run(std::uint16_t from, std::size_t count) {
    std::vector<std::uint16_t> bins(count);
    std::iota(bins.begin(), bins.end(), from);
    return bins;
}

TEST(WaterfallRows, ARowInThreeSegmentsCompletesOnce) {
    WaterfallRows rows;
    EXPECT_EQ(rows.store(segment(0, run(0, 4), 10, 7), 100), Intake::Incomplete);
    EXPECT_EQ(rows.store(segment(4, run(4, 4), 10, 7), 100), Intake::Incomplete);
    EXPECT_EQ(rows.store(segment(8, run(8, 2), 10, 7), 100), Intake::Complete);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.at(0).width, 10);
    EXPECT_EQ(rows.at(0).waterFallBinData, run(0, 10));
    EXPECT_EQ(rows.store(segment(8, run(8, 2), 10, 7), 100), Intake::Dropped)
        << "a repeated segment of a complete row adds nothing";
}

TEST(WaterfallRows, SegmentsThatContinueNoRowAreDropped) {
    WaterfallRows rows;
    EXPECT_EQ(rows.store(segment(4, run(4, 4), 8, 7), 100), Intake::Dropped) << "no row yet";
    EXPECT_EQ(rows.store(segment(0, run(0, 4), 8, 7), 100), Intake::Incomplete);
    EXPECT_EQ(rows.store(segment(4, run(4, 4), 8, 9), 100), Intake::Dropped) << "another timecode";
    EXPECT_EQ(rows.at(0).width, 4) << "the row stays incomplete";
    auto empty = segment(4, run(4, 4), 8, 7);
    empty->height = 0;
    EXPECT_EQ(rows.store(empty, 100), Intake::Dropped) << "a tile without lines";
    EXPECT_EQ(rows.store(nullptr, 100), Intake::Dropped);
    EXPECT_EQ(rows.at(0).width, 4);
}

TEST(WaterfallRows, JoinsStopAtTheFrameTotalAndAtTheDataHeld) {
    WaterfallRows rows;
    rows.store(segment(0, run(0, 6), 8, 1), 100);
    EXPECT_EQ(rows.store(segment(6, run(6, 6), 8, 1), 100), Intake::Complete);
    EXPECT_EQ(rows.at(0).width, 8);
    EXPECT_EQ(rows.at(0).waterFallBinData, run(0, 8));

    // Only a tile's first line is joined, and a width beyond the data is cut to the data.
    auto twoLines = segment(0, run(0, 8), 8, 2);
    twoLines->width = 4;
    twoLines->height = 2;
    EXPECT_EQ(rows.store(twoLines, 100), Intake::Incomplete);
    auto short_ = segment(4, run(100, 2), 8, 2);
    short_->width = 40;
    EXPECT_EQ(rows.store(short_, 100), Intake::Incomplete);
    EXPECT_EQ(rows.at(0).waterFallBinData, (std::vector<std::uint16_t>{0, 1, 2, 3, 100, 101}));
    EXPECT_EQ(rows.at(0).width, 6);

    // Never more than 65535 bins, whatever the total says.
    WaterfallRows big;
    big.store(segment(0, std::vector<std::uint16_t>(65000, 1), 0xFFFF, 3), 10);
    EXPECT_EQ(big.store(segment(65000, std::vector<std::uint16_t>(1000, 2), 0xFFFF, 3), 10),
              Intake::Complete);
    EXPECT_EQ(big.at(0).width, 65535);
    EXPECT_EQ(big.at(0).waterFallBinData.size(), 65535u);
}

TEST(WaterfallRows, OlderFirmwareRowsAreWholeAndTheOldestFallOff) {
    WaterfallRows rows;
    for (std::uint16_t i = 0; i < 5; ++i) {
        EXPECT_EQ(rows.store(segment(0, run(i, 3), 0, i, 3.2), 3), Intake::Complete);
    }
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(0).waterFallBinData.front(), 4) << "newest first";
    EXPECT_EQ(rows.at(2).waterFallBinData.front(), 2);
}

// A colour map whose entry for value v is the bytes v, v, v, 0 for v < 256.
std::vector<std::uint32_t> greyMap() {
    std::vector<std::uint32_t> map(65536, 0);
    for (std::uint32_t v = 0; v < 256; ++v) {
        map[v] = v | v << 8 | v << 16;
    }
    return map;
}

std::vector<int> painted(const WaterfallRows& rows, int row, int pixels, double start,
                         double mhzPerPixel) {
    const auto map = greyMap();
    std::vector<std::uint8_t> line(static_cast<std::size_t>(pixels) * 3, 0xAA);
    rows.paintRow(row, line.data(), pixels, start, mhzPerPixel, map.data(), 0xff0000);
    std::vector<int> out;
    for (int x = 0; x < pixels; ++x) {
        out.push_back(line[static_cast<std::size_t>(x) * 3]);
    }
    return out;
}

TEST(WaterfallRows, PaintingFollowsThePansStartAndSpan) {
    WaterfallRows rows;
    rows.store(segment(0, run(10, 5), 0, 0, 3.2), 10);  // bins 10..14 from 14.000 MHz, 1 kHz each
    // Aligned, one bin per pixel; then the pan starts 2 kHz lower (bins to the left read 0) and
    // runs past the row's end; then two bins per pixel.
    EXPECT_EQ(painted(rows, 0, 5, 14.0, 0.001), (std::vector<int>{10, 11, 12, 13, 14}));
    EXPECT_EQ(painted(rows, 0, 8, 13.998, 0.001), (std::vector<int>{0, 0, 10, 11, 12, 13, 14, 0}));
    EXPECT_EQ(painted(rows, 0, 3, 14.0, 0.002), (std::vector<int>{10, 12, 14}));

    // A row with no bin bandwidth reads no bin; a row beyond the stored ones is background blue.
    auto flat = segment(0, run(10, 5), 0, 0, 3.2);
    flat->binBandwidth = 0;
    rows.store(flat, 10);
    EXPECT_EQ(painted(rows, 0, 3, 14.0, 0.001), (std::vector<int>{0, 0, 0}));
    const auto map = greyMap();
    std::vector<std::uint8_t> line(6, 0xAA);
    rows.paintRow(5, line.data(), 2, 14.0, 0.001, map.data(), 0xff0000);
    EXPECT_EQ(line, (std::vector<std::uint8_t>{0, 0, 255, 0, 0, 255}));
}

}  // namespace
}  // namespace vm
