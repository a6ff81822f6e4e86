#include "app/control/PanLookups.h"

#include "platform/core/Log.h"
#include "radio/Radio.h"

#include <array>
#include <cmath>

namespace vm::lookups {

namespace {

constexpr double kFarthest = 10000.0;  // MHz

}  // namespace

std::optional<std::size_t> panForFrequency(const std::vector<PanSpan>& pans, double mhz) {
    for (std::size_t i = 0; i < pans.size(); ++i) {
        if (frequencyOutSidePanadapter(pans[i], mhz) == 0.0) {
            return i;
        }
    }
    std::optional<std::size_t> nearest;
    double best = kFarthest;
    for (std::size_t i = 0; i < pans.size(); ++i) {
        const double distance = std::fabs(mhz - pans[i].center);
        if (distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

std::optional<std::size_t> streamIdToPan(const std::vector<PanSpan>& pans,
                                         const std::string& streamId) {
    if (streamId.empty()) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < pans.size(); ++i) {
        if (sameStreamId(pans[i].streamId, streamId)) {
            return i;
        }
    }
    return std::nullopt;
}

double frequencyOutSidePanadapter(const PanSpan& pan, double mhz) {
    const double low = pan.center - pan.bandwidth / 2 + kPanEdgeMargin;
    const double high = pan.center + pan.bandwidth / 2 - kPanEdgeMargin;
    if (mhz < low) {
        return mhz - low;
    }
    if (mhz > high) {
        return mhz - high;
    }
    return 0.0;
}

int streamToInt(const std::string& streamId) {
    static const std::array<const char*, 8> kPanIds{"0x40000000", "0x40000001", "0x40000002",
                                                    "0x40000003", "0x40000004", "0x40000005",
                                                    "0x40000006", "0x40000007"};
    for (std::size_t i = 0; i < kPanIds.size(); ++i) {
        if (streamId == kPanIds[i]) {
            return static_cast<int>(i);
        }
    }
    log("streamToInt:streamID:{} not recognized", streamId);
    return 0;
}

// An id that does not read as a number matches nothing.
bool sameStreamId(const std::string& a, const std::string& b) {
    const std::uint32_t value = Radio::intFromHexString(a);
    return value != 0 && value == Radio::intFromHexString(b);
}

}  // namespace vm::lookups
