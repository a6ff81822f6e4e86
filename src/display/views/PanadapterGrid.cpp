#include "display/views/PanadapterGrid.h"

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

}  // namespace vm
