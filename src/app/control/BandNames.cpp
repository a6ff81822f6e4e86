#include "app/control/BandNames.h"

#include <array>

namespace vm::lookups {

namespace {

struct Band {
    double from;  // MHz, included
    double to;    // MHz, included
    const char* meters;
    int number;
};

constexpr std::array<Band, 11> kBands{{{1.8, 2.0, "160", 2},
                                       {3.5, 4.0, "80", 5},
                                       {5.1, 5.5, "60", 6},
                                       {7.0, 7.3, "40", 9},
                                       {10.1, 10.15, "30", 10},
                                       {14.0, 14.35, "20", 12},
                                       {18.068, 18.168, "17", 14},
                                       {21.0, 21.45, "15", 16},
                                       {24.89, 24.99, "12", 18},
                                       {28.0, 29.7, "10", 20},
                                       {50.0, 54.0, "6", 22}}};

// The range of the radio's own receiver; beyond it a frequency is a transverter's.
constexpr double kLowestHf = 0.03;
constexpr double kHighestHf = 54.0;

const Band* bandOf(double mhz) {
    for (const Band& band : kBands) {
        if (mhz >= band.from && mhz <= band.to) {
            return &band;
        }
    }
    return nullptr;
}

}  // namespace

std::string strippedBandMetersFromMHz(double mhz) {
    const Band* band = bandOf(mhz);
    return band ? band->meters : "";
}

int bandNumericFromMHz(double mhz) {
    const Band* band = bandOf(mhz);
    return band ? band->number : 0;
}

std::string bandStringFromFrequency(double mhz, const XvtrKeyForFrequency& xvtrKeyForFrequency) {
    if (mhz >= kLowestHf && mhz <= kHighestHf) {
        return strippedBandMetersFromMHz(mhz);
    }
    const std::optional<std::string> key =
        xvtrKeyForFrequency ? xvtrKeyForFrequency(mhz) : std::nullopt;
    return key ? "X" + *key : "";
}

}  // namespace vm::lookups
