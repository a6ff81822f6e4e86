#pragma once
// A bitmap of 8-bit samples, meshed: width × height pixels of samplesPerPixel bytes each (red,
// green, blue, then alpha with 4 samples), rows of bytesPerRow bytes (padding may follow a row's
// last pixel), row 0 first in memory and at the top of the picture.
//
// A colour argument is a 32-bit integer read as its bytes least significant first: the first
// sample is bits 0-7, the second bits 8-15, and so on. 0xFF0000 on an RGB bitmap is blue.
#include <QImage>

#include <cstdint>
#include <vector>

namespace vm {

class Bitmap {
public:
    // A bitmap with no data.
    Bitmap() = default;
    // 3 (RGB) or 4 (RGBA) samples per pixel; a bytesPerRow of 0 picks the pixel bytes rounded up
    // to a multiple of 4. Zero-filled. Sizes that do not make a bitmap (negative, a row longer than
    // bytesPerRow, other sample counts, more than 2^31 bytes) give a bitmap with no data.
    Bitmap(int width, int height, int samplesPerPixel, int bytesPerRow = 0);

    bool hasData() const { return !bytes_.empty(); }
    std::uint8_t* bytes() { return bytes_.data(); }
    const std::uint8_t* bytes() const { return bytes_.data(); }
    int width() const { return width_; }
    int height() const { return height_; }
    int samplesPerPixel() const { return samplesPerPixel_; }
    int bytesPerRow() const { return bytesPerRow_; }
    bool hasAlpha() const { return samplesPerPixel_ == 4; }

    // A QImage over this bitmap's bytes, not a copy: drawing into it draws into the bitmap. Valid
    // while the bitmap lives. Null when the bitmap has no data.
    QImage image();

    // Every pixel set to the colour's first samplesPerPixel bytes; row padding becomes 0.
    void clearTo24Bit(std::int32_t color);
    // Every row's first width 32-bit words set to the colour (4-byte pixels); never past a row.
    void clearTo32Bit(std::uint32_t color);
    // Moves every row but the last down by one; row 0 keeps its contents for the caller to
    // overwrite. False only when there is no data.
    bool scrollDown();
    // Turns the width × height 32-bit words from the start of the data (padding not skipped) from
    // bytes (b0, b1, b2, b3) into (255, b0, b1, b2): RGBA pixels become opaque ARGB pixels.
    void transposeAndClampAlpha32();
    // Writes `count` pixels of the colour from row and column (both counted from 1) on, running on
    // through the ends of rows, and stops at the end of the data. Row or column 0 writes nothing.
    void scan32(std::uint32_t row, std::uint32_t column, std::int32_t count, std::uint32_t color);
    // Logs the layout.
    void log() const;

private:
    std::vector<std::uint8_t> bytes_;
    int width_ = 0;
    int height_ = 0;
    int samplesPerPixel_ = 0;
    int bytesPerRow_ = 0;
};

}  // namespace vm
