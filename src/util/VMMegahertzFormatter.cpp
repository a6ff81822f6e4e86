#include "util/VMMegahertzFormatter.h"

#include "util/StringAdditions.h"
#include "util/TextUnits.h"

#include <fmt/format.h>

#include <cmath>
#include <vector>

namespace vm {

namespace {

constexpr double kLargestHertz = 9.0e18;  // whole hertz must fit in a long long

}  // namespace

std::optional<std::string> VMMegahertzFormatter::stringForObjectValue(double megahertz) const {
    const double hertz = std::fabs(megahertz) * 1000000.0;
    if (!std::isfinite(hertz) || hertz >= kLargestHertz) {
        return std::nullopt;
    }
    const auto h = static_cast<long long>(hertz);
    const char* sign = megahertz < 0 ? "-" : "";
    if (showHz_) {
        return fmt::format("{}{}.{:03}.{:02}{:01}", sign, h / 1000000, (h / 1000) % 1000,
                           (h / 10) % 100, h % 10);
    }
    return fmt::format("{}{}.{:03}.{:02}", sign, h / 1000000, (h / 1000) % 1000, (h / 10) % 100);
}

bool VMMegahertzFormatter::getObjectValue(double* megahertz, const std::string& text,
                                          std::string* errorDescription) const {
    const auto parts = text.empty() ? std::vector<std::string>{} : strings::units::split(text, '.');
    double value = 0;
    if (parts.size() == 1 || parts.size() == 2) {
        value = strings::doubleValue(text);
    } else if (parts.size() == 3) {
        value = strings::doubleValue(parts[0] + "." + parts[1]) +
                strings::doubleValue(parts[2]) / (showHz_ ? 1000000.0 : 100000.0);
    } else {
        if (errorDescription) {
            *errorDescription = "Couldn\u2019t convert  to float";
        }
        return false;
    }
    if (megahertz) {
        *megahertz = value;
    }
    return true;
}

bool VMMegahertzFormatter::isPartialStringValid(const std::string& partial,
                                                std::string* errorDescription) const {
    if (partial.find_first_not_of(".0123456789") == std::string::npos) {
        return true;
    }
    if (errorDescription) {
        *errorDescription = "Non numeric character entered";
    }
    if (beep_) {
        beep_();
    }
    return false;
}

double VMMegahertzFormatter::doubleValueForString(const std::string& text) const {
    double value = 0;
    return getObjectValue(&value, text, nullptr) ? value : 0.0;
}

}  // namespace vm
