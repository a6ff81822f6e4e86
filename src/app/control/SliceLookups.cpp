#include "app/control/SliceLookups.h"

#include "objects/Slice.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vm::lookups {

namespace {

// Nothing further than this from a frequency counts as near it.
constexpr double kFarthest = 10000.0;  // MHz

template <class Predicate>
std::shared_ptr<Slice> firstSlice(const SliceList& slices, Predicate predicate) {
    for (const auto& slice : slices) {
        if (slice && predicate(*slice)) {
            return slice;
        }
    }
    return nullptr;
}

}  // namespace

double sliceMegahertz(const Slice& slice) {
    return static_cast<double>(Slice::freqStringToHertz(slice.sliceFrequency().value_or(""))) / 1e6;
}

double transmitOffset(const Slice& slice) {
    std::string direction = slice.repeaterOffsetDir().value_or("");
    std::transform(direction.begin(), direction.end(), direction.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const double offset = slice.fmRepeaterOffset().value_or(0);
    if (direction == "UP") {
        return offset;
    }
    if (direction == "DOWN") {
        return -offset;
    }
    return 0;
}

std::shared_ptr<Slice> sliceWithNumber(const SliceList& slices, int number) {
    return firstSlice(slices, [number](const Slice& s) { return s.thisSliceNumber() == number; });
}

std::shared_ptr<Slice> activeVFO(const SliceList& slices) {
    return firstSlice(slices, [](const Slice& s) { return s.sliceActive().value_or(false); });
}

std::shared_ptr<Slice> alternateVFO(const SliceList& slices) {
    return firstSlice(slices, [](const Slice& s) { return !s.sliceActive().value_or(false); });
}

std::shared_ptr<Slice> transmitVFO(const SliceList& slices) {
    return firstSlice(slices, [](const Slice& s) { return s.sliceTxEnabled().value_or(false); });
}

std::shared_ptr<Slice> lastSlice(const SliceList& slices) {
    return slices.empty() ? nullptr : slices.back();
}

std::shared_ptr<Slice> closestSlice(const SliceList& slices, double mhz) {
    std::shared_ptr<Slice> closest;
    double best = kFarthest;
    for (const auto& slice : slices) {
        if (!slice) {
            continue;
        }
        const double distance = std::fabs(mhz - sliceMegahertz(*slice));
        if (distance < best) {
            best = distance;
            closest = slice;
        }
    }
    return closest;
}

std::shared_ptr<Slice> centerSliceInPan(const SliceList& slices, const PanSpan& pan) {
    const double low = pan.center - pan.bandwidth / 2;
    const double high = pan.center + pan.bandwidth / 2;
    return firstSlice(slices, [low, high](const Slice& s) {
        const double mhz = sliceMegahertz(s);
        return mhz >= low && mhz <= high;
    });
}

}  // namespace vm::lookups
