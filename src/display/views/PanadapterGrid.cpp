#include "display/views/PanadapterGrid.h"

#include <fmt/printf.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace vm {
namespace {

constexpr std::array<double, 6> tickCandidates{1, 2, 2.5, 4, 5, 10};

}  // namespace

double niceTickStep(double range, int ticks) {
    const double raw = range / (std::max(ticks, 2) - 1);
    if (!std::isfinite(raw) || raw <= 0) {
        return 0;
    }
    const double p = std::pow(10.0, std::ceil(std::log10(raw) - 1));
    const double scaled = raw / p;
    for (const double c : tickCandidates) {
        if (scaled <= c) {
            return p * c;
        }
    }
    return p * tickCandidates.back();
}

std::vector<GridMark> frequencyGridMarks(double center, double span, int ticks) {
    std::vector<GridMark> marks;
    const double step = niceTickStep(span, ticks);
    if (step <= 0) {
        return marks;
    }
    const double startMHz = center - 0.5 * span;
    const bool narrow = span < 0.05;
    const double scale = narrow ? 1000 : 100;
    const double firstMHz = std::round(startMHz * scale) / scale;
    const double count = span / step;
    for (int i = 0; i < count; ++i) {
        marks.push_back({firstMHz - startMHz + i * step,
                         fmt::sprintf(narrow ? "%0.04f" : "%0.03f", i * step + firstMHz)});
    }
    return marks;
}

std::vector<GridMark> levelGridMarks(double minDbm, double maxDbm, int ticks) {
    std::vector<GridMark> marks;
    const double range = std::abs(maxDbm - minDbm);
    const double step = niceTickStep(range, ticks);
    if (step <= 0) {
        return marks;
    }
    const double count = range / step;
    for (int i = 0; i < count; ++i) {
        marks.push_back({i / count, fmt::sprintf("%0.0f dBm", i * step + minDbm)});
    }
    return marks;
}

}  // namespace vm
