#include "platform/ui/Bitmap.h"
#include "support/LogCapture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <vector>

namespace vm {
namespace {

std::vector<std::uint8_t> rowBytes(const Bitmap& b, int row) {
    const std::uint8_t* start = b.bytes() + std::size_t(row) * b.bytesPerRow();
    return {start, start + b.bytesPerRow()};
}

TEST(Bitmap, LayoutAndInvalidSizes) {
    const Bitmap waterfall(5, 2, 3);
    EXPECT_EQ(waterfall.bytesPerRow(), 16);  // 15 bytes of pixels, rounded up to 4
    EXPECT_TRUE(waterfall.hasData());
    EXPECT_EQ(Bitmap(5, 2, 4, 24).bytesPerRow(), 24);
    for (const Bitmap& none : {Bitmap(), Bitmap(0, 4, 3), Bitmap(4, 0, 3), Bitmap(-1, 4, 3),
                               Bitmap(4, 4, 2), Bitmap(4, 4, 3, 11), Bitmap(65536, 65536, 4)}) {
        EXPECT_FALSE(none.hasData());
    }
}

TEST(Bitmap, ClearTo24BitFillsPixelsInByteOrderAndZeroesPadding) {
    struct Case {
        std::int32_t color;
        std::vector<std::uint8_t> pixel;
    };
    for (const Case& c : {Case{0xFF0000, {0, 0, 255}}, Case{0x0000FF, {255, 0, 0}},
                          Case{0x332211, {0x11, 0x22, 0x33}}}) {
        Bitmap b(3, 2, 3, 12);
        std::fill(b.bytes(), b.bytes() + 24, 0x77);
        b.clearTo24Bit(c.color);
        std::vector<std::uint8_t> row;
        for (int i = 0; i < 3; ++i) {
            row.insert(row.end(), c.pixel.begin(), c.pixel.end());
        }
        row.insert(row.end(), 3, 0);
        EXPECT_EQ(rowBytes(b, 0), row);
        EXPECT_EQ(rowBytes(b, 1), row);
    }
}

TEST(Bitmap, ClearTo32BitWritesWordsAndNeverPastARow) {
    Bitmap rgba(2, 2, 4, 12);
    rgba.clearTo32Bit(0xAABBCCDD);
    const std::vector<std::uint8_t> row{0xDD, 0xCC, 0xBB, 0xAA, 0xDD, 0xCC, 0xBB, 0xAA, 0, 0, 0, 0};
    EXPECT_EQ(rowBytes(rgba, 1), row);
    Bitmap rgb(4, 2, 3);  // 12-byte rows: four words would be 16
    rgb.clearTo32Bit(0x04030201);
    EXPECT_EQ(rowBytes(rgb, 1), (std::vector<std::uint8_t>{1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3, 4}));
}

TEST(Bitmap, ScrollDownMovesRowsAndKeepsTheTopRow) {
    Bitmap b(1, 3, 4);
    for (int row = 0; row < 3; ++row) {
        std::fill(b.bytes() + 4 * row, b.bytes() + 4 * row + 4, std::uint8_t(row + 1));
    }
    EXPECT_TRUE(b.scrollDown());
    EXPECT_EQ(rowBytes(b, 0), (std::vector<std::uint8_t>(4, 1)));
    EXPECT_EQ(rowBytes(b, 1), (std::vector<std::uint8_t>(4, 1)));
    EXPECT_EQ(rowBytes(b, 2), (std::vector<std::uint8_t>(4, 2)));

    Bitmap one(2, 1, 3);
    one.clearTo24Bit(0x010203);
    const auto before = rowBytes(one, 0);
    EXPECT_TRUE(one.scrollDown());
    EXPECT_EQ(rowBytes(one, 0), before);
    EXPECT_FALSE(Bitmap().scrollDown());
}

TEST(Bitmap, TransposeAndClampAlphaMakesOpaqueArgb) {
    Bitmap b(2, 1, 4);
    const std::uint8_t rgba[] = {10, 20, 30, 40, 50, 60, 70, 0};
    std::copy(std::begin(rgba), std::end(rgba), b.bytes());
    b.transposeAndClampAlpha32();
    EXPECT_EQ(rowBytes(b, 0), (std::vector<std::uint8_t>{255, 10, 20, 30, 255, 50, 60, 70}));
    Bitmap rgb(3, 1, 3);  // 9 pixel bytes in a 12-byte row: three words fit, no more
    std::fill(rgb.bytes(), rgb.bytes() + 12, 1);
    rgb.transposeAndClampAlpha32();
    EXPECT_EQ(rowBytes(rgb, 0),
              (std::vector<std::uint8_t>{255, 1, 1, 1, 255, 1, 1, 1, 255, 1, 1, 1}));
}

TEST(Bitmap, Scan32WritesFromRowAndColumnAndStopsAtTheEnd) {
    Bitmap b(3, 2, 3, 10);        // 9 pixel bytes and one padding byte per row
    b.scan32(1, 3, 2, 0x030201);  // the last pixel of row 0 and on through the padding
    EXPECT_EQ(rowBytes(b, 0), (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 0, 1, 2, 3, 1}));
    EXPECT_EQ(rowBytes(b, 1), (std::vector<std::uint8_t>{2, 3, 0, 0, 0, 0, 0, 0, 0, 0}));

    Bitmap full(3, 2, 3, 10);
    full.scan32(1, 1, 1000, 0x090909);
    // Six whole pixels fit in 20 bytes; the two bytes left cannot take a seventh.
    EXPECT_EQ(rowBytes(full, 0), (std::vector<std::uint8_t>{9, 9, 9, 9, 9, 9, 9, 9, 9, 9}));
    EXPECT_EQ(rowBytes(full, 1), (std::vector<std::uint8_t>{9, 9, 9, 9, 9, 9, 9, 9, 0, 0}));

    Bitmap untouched(3, 2, 3, 10);
    for (auto [row, column, count] : {std::tuple{0u, 1u, 5},
                                      {1u, 0u, 5},
                                      {3u, 1u, 5},
                                      {1u, 1u, 0},
                                      {1u, 1u, -4},
                                      {0xFFFFFFFFu, 0xFFFFFFFFu, 5}}) {
        untouched.scan32(row, column, count, 0xFFFFFF);
    }
    EXPECT_EQ(rowBytes(untouched, 0), (std::vector<std::uint8_t>(10, 0)));
    EXPECT_EQ(rowBytes(untouched, 1), (std::vector<std::uint8_t>(10, 0)));
}

TEST(Bitmap, ImageSharesTheBytes) {
    Bitmap b(4, 3, 3);
    QImage image = b.image();
    EXPECT_EQ(image.constBits(), b.bytes());
    EXPECT_EQ(image.format(), QImage::Format_RGB888);
    EXPECT_EQ(image.bytesPerLine(), b.bytesPerRow());
    {
        QPainter painter(&image);
        painter.fillRect(0, 0, 1, 1, QColor(1, 2, 3));
    }
    EXPECT_EQ((std::vector<std::uint8_t>(b.bytes(), b.bytes() + 3)),
              (std::vector<std::uint8_t>{1, 2, 3}));
    b.clearTo24Bit(0xFF0000);
    EXPECT_EQ(image.pixelColor(3, 2), QColor(0, 0, 255));
    EXPECT_EQ(Bitmap(1, 1, 4).image().format(), QImage::Format_RGBA8888);
    EXPECT_TRUE(Bitmap().image().isNull());
}

TEST(Bitmap, LogDescribesTheLayout) {
    test::LogCapture log;
    Bitmap(640, 480, 3).log();
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"NSBitmapImageRep:planar:0 format:[0] bitsPerSample:[8] "
                                       "bitsPerPixel:[24] rowbytes:[1920] width:[640.00] "
                                       "height:[480.00]"});
}

}  // namespace
}  // namespace vm
