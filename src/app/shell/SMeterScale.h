#pragma once
// The S-meter's scale: the S step of a received level in dBm and the text shown for it, and the
// 32-segment bars of the meter displays. No Qt.
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

}  // namespace vm
