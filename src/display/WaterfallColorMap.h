#pragma once
// The waterfall's colour map: one entry for every 16-bit intensity value (65,536), so that
// painting a pixel is one array read. Values below the low threshold (the black level) take the
// low colour, values from the low threshold up to the high threshold run through the default
// gradient, and values from the high threshold up take the high colour. Raising the black level
// moves the ramp up; raising the colour gain shortens it.
//
// An entry holds the bytes red, green, blue, 0 in memory (0x00BBGGRR read as a little-endian
// number); an RGB bitmap takes its first three bytes.
//
// Not thread-safe: the waterfall view builds and reads it on the main thread only.
#include <cstdint>
#include <memory>
#include <optional>

namespace vm {

class WaterfallColorMap {
public:
    static constexpr int kEntries = 65536;

    int blackLevel() const { return blackLevel_; }
    void setBlackLevel(int level) { blackLevel_ = level; }
    int colorGain() const { return colorGain_; }
    void setColorGain(int gain) { colorGain_ = gain; }
    void setDebug(bool debug) { debug_ = debug; }

    // Recomputes both thresholds from the black level and the colour gain. The ramp covers
    // (65535 − low) × ((100 − gain) / 100)³ values, truncated, at least 100; the sums are computed
    // wide and the high threshold held at 65535 at most, so a black level near the top never
    // wraps it.
    void calculateHighThreshold();
    // Rebuilds every entry; the last entry always takes the high colour. Returns how many entries
    // took it, or nothing when the map's memory could not be had (the map stays absent).
    std::optional<int> setupColorGradient();

    bool exists() const { return entries_ != nullptr; }
    const std::uint32_t* entries() const { return entries_.get(); }
    int lowThreshold() const { return lowThreshold_; }
    int highThreshold() const { return highThreshold_; }
    std::uint32_t lowColor() const { return lowColor_; }
    std::uint32_t highColor() const { return highColor_; }

private:
    std::unique_ptr<std::uint32_t[]> entries_;
    int blackLevel_ = 0;
    int colorGain_ = 0;
    int lowThreshold_ = 0;
    int highThreshold_ = 0;
    std::uint32_t lowColor_ = 0;
    std::uint32_t highColor_ = 0;
    bool debug_ = false;
};

// The map entry of a packed 0x00RRGGBB colour: bytes red, green, blue, 0 in memory.
std::uint32_t colorMapEntry(std::uint32_t packed);

// The black level is held in map units (0 to 65535) and shown in percent (0 to 100).
int blackLevelPercent(double level);
int blackLevelFromPercent(double percent);

}  // namespace vm
