// The slice's letter and its frequency and filter texts, as the views show them.
#include "objects/Slice.h"

#include "platform/core/CharacterSet.h"

#include <fmt/format.h>

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace vm {

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

// The leading integer of a text (after blanks and line ends, with an optional sign), saturated
// at the limits of 64 bits; 0 when there is none.
std::int64_t leadingInteger(std::string text) {
    Scanner scan(std::move(text));
    scan.setCharactersToBeSkipped(CharacterSet::whitespaceAndNewline());
    long long value = 0;
    return scan.scanLongLong(&value) ? value : 0;
}

std::int64_t timesTen(std::int64_t value) {
    if (value > kMax / 10) {
        return kMax;
    }
    if (value < kMin / 10) {
        return kMin;
    }
    return value * 10;
}

// "%i.%03i" parts: megahertz, then kilohertz and hertz within their thousand, each as a 32-bit
// integer as the radio's texts have them.
struct FrequencyParts {
    int megahertz;
    int kilohertz;
    int hertz;
};

FrequencyParts partsOf(std::int64_t hertz) {
    return {static_cast<int>(hertz / 1000000), static_cast<int>((hertz / 1000) % 1000),
            static_cast<int>(hertz % 1000)};
}

}  // namespace

Text Slice::sliceTitle() const {
    const auto radio = this->radio();
    const auto instance = radio ? radio->radioRecord() : nullptr;
    if (instance && instance->supportsV3_API) {
        return indexLetter();
    }
    return std::string(1, static_cast<char>('A' + thisSliceNumber()));
}

bool Slice::sliceAgcOff() const {
    const Text mode = sliceAgcMode();
    return mode && *mode == "off";
}

// The digits after the point set the scale: six make hertz; fewer are filled with zeros; more are
// cut off, so "14.0740001" is still 14074000 Hz.
std::int64_t Slice::freqStringToHertz(std::string_view megahertz) {
    int scale = 6;
    if (const std::size_t point = megahertz.find('.'); point != std::string_view::npos) {
        scale = static_cast<int>(point) - static_cast<int>(megahertz.size()) + 7;
    }
    std::string digits;
    digits.reserve(megahertz.size());
    std::copy_if(megahertz.begin(), megahertz.end(), std::back_inserter(digits),
                 [](char c) { return c != '.'; });
    std::int64_t hertz = leadingInteger(std::move(digits));
    for (; scale > 0; --scale) {
        hertz = timesTen(hertz);
    }
    for (; scale < 0 && hertz != 0; ++scale) {
        hertz /= 10;
    }
    return hertz;
}

std::int64_t Slice::formatSliceFrequencyAsNumber() const {
    return freqStringToHertz(sliceFrequency().value_or(""));
}

std::string Slice::formatSliceFrequency() const {
    const FrequencyParts p = partsOf(formatSliceFrequencyAsNumber());
    return fmt::format("{}.{:03}.{:03}", p.megahertz, p.kilohertz, p.hertz);
}

std::string Slice::formatFrequencyNumberAsCommandString(std::int64_t hertz) {
    const FrequencyParts p = partsOf(hertz);
    return fmt::format("{}.{:03}{:03}", p.megahertz, p.kilohertz, p.hertz);
}

std::string Slice::formatFrequencyNumberAsString(std::int64_t hertz) {
    return formatFrequencyNumberAsCommandString(hertz);
}

std::string Slice::formatSliceFilterBandwidth() const {
    const auto lo = static_cast<std::int32_t>(sliceFilterLo().value_or(0));
    const auto hi = static_cast<std::int32_t>(sliceFilterHi().value_or(0));
    const std::int64_t width = std::llabs(std::int64_t{hi} - std::int64_t{lo});
    if (width < 1000) {
        return fmt::format("{} Hz", width);
    }
    return fmt::format("{}.{} KHz", width / 1000, (width / 100) % 10);
}

}  // namespace vm
