#include "display/views/PointerTuning.h"

#include "objects/Slice.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vm::pointer_tuning {

double pointerMHz(double center, double bandwidth, double x, double width) {
    const double start = center - bandwidth / 2;
    return width > 0 ? start + bandwidth * (x / width) : start;
}

double pixelsToMHz(double pixels, double width, double bandwidth) {
    return width > 0 ? pixels / width * bandwidth : 0;
}

double mhzToPixels(double mhz, double width, double bandwidth) {
    return bandwidth != 0 ? mhz / bandwidth * width : 0;
}

double sliceMHz(const Slice& slice) {
    const Text frequency = slice.sliceFrequency();
    return frequency ? std::strtod(frequency->c_str(), nullptr) : 0.0;
}

std::shared_ptr<Slice> sliceNear(const std::vector<std::shared_ptr<Slice>>& slices, double mhz,
                                 double skirt, Pick pick) {
    std::shared_ptr<Slice> found;
    for (const auto& slice : slices) {
        if (slice && std::abs(mhz - sliceMHz(*slice)) < skirt) {
            found = slice;
            if (pick == Pick::First) {
                break;
            }
        }
    }
    return found;
}

double tuningFactor(bool shift, bool control, std::string_view mode) {
    const double factor = shift ? 100000.0 : control ? 100.0 : 10000.0;
    const bool fine = mode == "CW" || mode == "RTTY" || mode == "DIGU";
    return fine ? factor * 10 : factor;
}

std::string roundedFrequencyText(double mhz, double factor) {
    return fmt::sprintf("%f", std::round(mhz * factor) / factor);
}

std::vector<double> wheelSteps(double deltaX, double deltaY, double step) {
    std::vector<double> steps;
    if (deltaX > 0) {
        steps.push_back(step);
    } else if (deltaX < 0) {
        steps.push_back(-step);
    }
    if (deltaY < 0) {
        steps.push_back(step);
    } else if (deltaY > 0) {
        steps.push_back(-step);
    }
    return steps;
}

double splitDragPercent(double dyDown, double contentHeight) {
    if (contentHeight <= 0 || dyDown == 0) {
        return 0;
    }
    const double percent = std::abs(100.0 * dyDown / contentHeight);
    return dyDown > 0 ? -percent : percent;
}

namespace {

// No blank, no control character, nothing outside printable ASCII.
bool plainWord(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](unsigned char c) { return c > 0x20 && c < 0x7f; });
}

bool callSignCharacter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
           c == '-';
}

}  // namespace

std::optional<std::string> spotModeForSlice(const std::string& mode, const List& modeList) {
    if (!plainWord(mode) || !modeList ||
        std::find(modeList->begin(), modeList->end(), mode) == modeList->end()) {
        return std::nullopt;
    }
    return mode;
}

std::optional<std::string> spotFrequencyText(double megahertz) {
    if (!std::isfinite(megahertz) || megahertz <= 0) {
        return std::nullopt;
    }
    return fmt::sprintf("%g", megahertz);
}

std::optional<std::string> lookupScript(const std::string& combinedCallsign) {
    std::string call = combinedCallsign;
    std::replace(call.begin(), call.end(), ' ', '-');
    if (call.empty() || !std::all_of(call.begin(), call.end(),
                                     [](unsigned char c) { return callSignCharacter(c); })) {
        return std::nullopt;
    }
    return "Tell application \"Tarvelo\"\nlookup \"" + call + "\"\nend tell\n";
}

}  // namespace vm::pointer_tuning
