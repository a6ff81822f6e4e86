#pragma once
// Release numbers as the update check compares them: numbers with two decimals.
#include <string_view>

namespace vm {

// round(v x 100) / 100.
double roundedToHundredths(double v);

// The running program's number: the leading number of its short version ("2.30"), less 0.01 for a
// test build (a build version holding "b"), rounded to hundredths.
double runningReleaseVersion(std::string_view shortVersion, std::string_view buildVersion);

// The text with every non-digit removed from both ends.
std::string_view digitsTrimmed(std::string_view text);

// The number a version file carries: its text with every non-digit removed from both ends, read
// as a leading decimal number and rounded to hundredths. 0 when there is none.
double latestReleaseVersion(std::string_view text);

}  // namespace vm
