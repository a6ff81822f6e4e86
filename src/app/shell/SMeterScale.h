#pragma once
// The S-meter's scale: the S step of a received level in dBm and the text shown for it; and the
// 32-segment bars and value texts of every meter display. No Qt.
#include <string>

namespace vm {

struct SMeterReading {
    int step = 0;      // 0 to 18 (15 and 17 do not occur)
    std::string text;  // "S0" ... "S9", then "S9+33" ... "S9+60"
};

// Each step's interval includes its lower bound: -73 dBm reads S9, -63 dBm S9+33.
SMeterReading sMeterReading(double averageDbm);

// round(32 / |top - low| x (value - low)); 0 for an empty range. Values past the top give more
// than 32.
int meterBar(double value, double low, double top);

// "<prefix><short name> <value> (<units>)": the value with two decimals when it has a fractional
// part ("FWDPWR 10.25 (dBm)"), as a whole number when it has none ("FWDPWR 10 (dBm)").
std::string meterValueText(const std::string& prefix, const std::string& shortName, double value,
                           const std::string& unitsLabel);

}  // namespace vm
