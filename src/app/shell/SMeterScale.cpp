#include "app/shell/SMeterScale.h"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <utility>

namespace vm {

SMeterReading sMeterReading(double averageDbm) {
    // The lower bound of each step above S0, in dBm.
    static constexpr std::array<std::pair<double, int>, 16> kSteps{{{-7, 18},
                                                                    {-17, 16},
                                                                    {-27, 14},
                                                                    {-37, 13},
                                                                    {-47, 12},
                                                                    {-57, 11},
                                                                    {-63, 10},
                                                                    {-73, 9},
                                                                    {-79, 8},
                                                                    {-85, 7},
                                                                    {-91, 6},
                                                                    {-97, 5},
                                                                    {-103, 4},
                                                                    {-109, 3},
                                                                    {-115, 2},
                                                                    {-121, 1}}};
    SMeterReading reading;
    for (const auto& [lower, step] : kSteps) {
        if (averageDbm >= lower) {
            reading.step = step;
            break;
        }
    }
    reading.text = reading.step <= 9 ? "S" + std::to_string(reading.step)
                                     : "S9+" + std::to_string(reading.step * 60 / 18);
    return reading;
}

int meterBar(double value, double low, double top) {
    const double range = std::fabs(top - low);
    if (range == 0.0) {
        return 0;
    }
    return int(std::lround(32.0 / range * (value - low)));
}

std::string meterValueText(const std::string& prefix, const std::string& shortName, double value,
                           const std::string& unitsLabel) {
    if (std::trunc(value) != value) {
        return fmt::format("{}{} {:.2f} ({})", prefix, shortName, value, unitsLabel);
    }
    // A whole value is shown as an integer, so that -0.0 reads "0".
    if (std::fabs(value) < 1e15) {
        return fmt::format("{}{} {} ({})", prefix, shortName, static_cast<long long>(value),
                           unitsLabel);
    }
    return fmt::format("{}{} {:.0f} ({})", prefix, shortName, value, unitsLabel);
}

}  // namespace vm
