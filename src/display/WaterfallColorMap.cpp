#include "display/WaterfallColorMap.h"

#include "display/ColorGradient.h"
#include "platform/core/Log.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace vm {
namespace {

constexpr double kPercentPerLevel = 0.0015259021896696422;  // 100 / 65535
constexpr int kTop = 65535;
constexpr int kMinimumRamp = 100;

}  // namespace

std::uint32_t colorMapEntry(std::uint32_t packed) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(packed >> 16),
                                   static_cast<std::uint8_t>(packed >> 8),
                                   static_cast<std::uint8_t>(packed), 0};
    std::uint32_t entry = 0;
    std::memcpy(&entry, bytes, sizeof entry);
    return entry;
}

int blackLevelPercent(double level) {
    return static_cast<int>(std::clamp(std::round(level * kPercentPerLevel), 0.0, 100.0));
}

int blackLevelFromPercent(double percent) {
    if (!std::isfinite(percent)) {
        return 0;
    }
    return static_cast<int>(std::clamp(std::round(percent / kPercentPerLevel), 0.0, double(kTop)));
}

void WaterfallColorMap::calculateHighThreshold() {
    lowThreshold_ = std::clamp(blackLevel_, 0, kTop);
    const double gain = (100.0 - std::clamp(colorGain_, 0, 100)) / 100.0;
    const double span =
        std::trunc(std::pow(std::pow(double(kTop - lowThreshold_), 1.0 / 3.0) * gain, 3));
    const long long high = lowThreshold_ + std::max(static_cast<long long>(span), 0LL);
    highThreshold_ = static_cast<int>(
        std::min<long long>(std::max<long long>(high, lowThreshold_ + kMinimumRamp), kTop));
    if (debug_) {
        log("calculateHighThreshold:low:{} high:{}", lowThreshold_, highThreshold_);
    }
}

std::optional<int> WaterfallColorMap::setupColorGradient() {
    if (!entries_) {
        entries_.reset(new (std::nothrow) std::uint32_t[kEntries]);
        if (!entries_) {
            return std::nullopt;
        }
    }
    ColorGradient gradient;
    gradient.createDefaultGradient();
    calculateHighThreshold();
    lowColor_ = colorMapEntry(packedColor(gradient.colors()[1].pointColor));
    highColor_ = colorMapEntry(packedColor(gradient.colors().back().pointColor));

    std::uint32_t* const map = entries_.get();
    std::fill(map, map + lowThreshold_, lowColor_);
    const int ramp = highThreshold_ - lowThreshold_;
    for (int i = lowThreshold_; i < highThreshold_; ++i) {
        const float position = float(i - lowThreshold_) / float(ramp);
        map[i] = colorMapEntry(gradient.getPackedColorAtValue(position));
    }
    // The high threshold is at most 65535, so the last entry always takes the high colour.
    const int highCount = kEntries - highThreshold_;
    std::fill(map + highThreshold_, map + kEntries, highColor_);
    if (debug_) {
        log("setupColorGradient:{} lowThreshold:{} highThreshold:{}", highCount, lowThreshold_,
            highThreshold_);
    }
    return highCount;
}

}  // namespace vm
