#include "app/shell/ReleaseVersion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace vm {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number at the start of the text (digits, at most one point); 0 without one.
double leadingNumber(std::string_view text) {
    std::size_t end = 0;
    bool point = false;
    while (end < text.size() && (isDigit(text[end]) || (text[end] == '.' && !point))) {
        point = point || text[end] == '.';
        ++end;
    }
    const double value = std::strtod(std::string(text.substr(0, end)).c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

}  // namespace

double roundedToHundredths(double v) { return std::round(v * 100) / 100; }

double runningReleaseVersion(std::string_view shortVersion, std::string_view buildVersion) {
    double version = leadingNumber(shortVersion);
    if (buildVersion.find('b') != std::string_view::npos) {
        version -= 0.01;
    }
    return roundedToHundredths(version);
}

std::string_view digitsTrimmed(std::string_view text) {
    const auto first = std::find_if(text.begin(), text.end(), isDigit);
    const auto last = std::find_if(text.rbegin(), text.rend(), isDigit).base();
    if (first >= last) {
        return {};
    }
    return text.substr(std::size_t(first - text.begin()), std::size_t(last - first));
}

double latestReleaseVersion(std::string_view text) {
    return roundedToHundredths(leadingNumber(digitsTrimmed(text)));
}

}  // namespace vm
