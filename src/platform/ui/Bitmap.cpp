#include "platform/ui/Bitmap.h"

#include "platform/core/Log.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace vm {

namespace {

// The colour's bytes, least significant first.
void colorBytes(std::uint32_t color, std::uint8_t out[4]) {
    for (int i = 0; i < 4; ++i) {
        out[i] = std::uint8_t(color >> (8 * i));
    }
}

}  // namespace

Bitmap::Bitmap(int width, int height, int samplesPerPixel, int bytesPerRow) {
    if (width < 0 || height < 0 || (samplesPerPixel != 3 && samplesPerPixel != 4)) {
        return;
    }
    const long long pixelBytes = 1LL * width * samplesPerPixel;
    if (bytesPerRow == 0) {
        bytesPerRow = int(std::min<long long>((pixelBytes + 3) / 4 * 4, INT_MAX));
    }
    if (bytesPerRow < pixelBytes || 1LL * bytesPerRow * height > INT_MAX) {
        return;
    }
    width_ = width;
    height_ = height;
    samplesPerPixel_ = samplesPerPixel;
    bytesPerRow_ = bytesPerRow;
    bytes_.assign(std::size_t(bytesPerRow) * std::size_t(height), 0);
}

QImage Bitmap::image() {
    if (!hasData()) {
        return {};
    }
    return QImage(bytes_.data(), width_, height_, bytesPerRow_,
                  hasAlpha() ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
}

void Bitmap::clearTo24Bit(std::int32_t color) {
    if (!hasData()) {
        return;
    }
    std::uint8_t samples[4];
    colorBytes(std::uint32_t(color), samples);
    std::vector<std::uint8_t> row(std::size_t(bytesPerRow_), 0);
    for (int i = 0; i < width_; ++i) {
        std::memcpy(row.data() + std::size_t(i) * samplesPerPixel_, samples,
                    std::size_t(samplesPerPixel_));
    }
    for (int y = 0; y < height_; ++y) {
        std::memcpy(bytes_.data() + std::size_t(y) * bytesPerRow_, row.data(), row.size());
    }
}

void Bitmap::clearTo32Bit(std::uint32_t color) {
    if (!hasData()) {
        return;
    }
    std::uint8_t word[4];
    colorBytes(color, word);
    const std::size_t rowBytes =
        std::min<std::size_t>(std::size_t(width_) * 4, std::size_t(bytesPerRow_));
    std::vector<std::uint8_t> row(rowBytes);
    for (std::size_t i = 0; i < rowBytes; ++i) {
        row[i] = word[i % 4];
    }
    for (int y = 0; y < height_; ++y) {
        std::memcpy(bytes_.data() + std::size_t(y) * bytesPerRow_, row.data(), rowBytes);
    }
}

bool Bitmap::scrollDown() {
    if (!hasData()) {
        return false;
    }
    if (height_ > 1) {
        std::memmove(bytes_.data() + bytesPerRow_, bytes_.data(),
                     std::size_t(height_ - 1) * bytesPerRow_);
    }
    return true;
}

void Bitmap::transposeAndClampAlpha32() {
    if (!hasData()) {
        return;
    }
    const std::size_t words =
        std::min(std::size_t(width_) * std::size_t(height_), bytes_.size() / 4);
    for (std::size_t i = 0; i < words; ++i) {
        std::uint8_t* w = bytes_.data() + 4 * i;
        w[3] = w[2];
        w[2] = w[1];
        w[1] = w[0];
        w[0] = 0xFF;
    }
}

void Bitmap::scan32(std::uint32_t row, std::uint32_t column, std::int32_t count,
                    std::uint32_t color) {
    if (!hasData() || row == 0 || column == 0 || count <= 0) {
        return;
    }
    std::uint8_t samples[4];
    colorBytes(color, samples);
    const std::size_t pixel = std::size_t(samplesPerPixel_);
    const std::size_t end = bytes_.size();
    std::size_t at =
        std::size_t(row - 1) * std::size_t(bytesPerRow_) + std::size_t(column - 1) * pixel;
    for (std::int32_t n = 0; n < count && at + pixel <= end; ++n, at += pixel) {
        std::memcpy(bytes_.data() + at, samples, pixel);
    }
}

void Bitmap::log() const {
    // Format flags: 2 marks alpha that is not premultiplied; the samples are always integers and
    // alpha, when present, comes last.
    vm::log(
        "NSBitmapImageRep:planar:{} format:[{}] bitsPerSample:[{}] bitsPerPixel:[{}] rowbytes:[{}] "
        "width:[{:.2f}] height:[{:.2f}]",
        0, hasAlpha() ? 2 : 0, 8, 8 * samplesPerPixel_, bytesPerRow_, double(width_),
        double(height_));
}

}  // namespace vm
