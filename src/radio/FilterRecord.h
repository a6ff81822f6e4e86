#pragma once
// One stock filter choice of a demodulation mode: its label, the mode as the radio writes it, and
// the transmit and receive filter edges in hertz relative to the slice frequency.
#include <string>

namespace vm {

struct FilterSpec {
    FilterSpec(std::string menuLabel, std::string modeName, int txFilterLo, int txFilterHi,
               int filterLo, int filterHi);

    std::string label;
    std::string mode;
    int txLo = 0;
    int txHi = 0;
    int lo = 0;
    int hi = 0;

    bool operator==(const FilterSpec&) const = default;
};

}  // namespace vm
