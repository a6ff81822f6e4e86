#pragma once
// One transverter the radio reports ("xvtr" status lines): a plain record. The session builds a
// new record for every line and replaces the stored one of the same key on the main queue, so a
// record never changes once it is in the session's list. Numbers are empty until a line gives
// them.
#include "radio/RadioTypes.h"

#include <optional>
#include <string>

namespace vm {

class Xvtr {
public:
    Text key;  // the radio's transverter index, compared by its integer value
    Text name;
    std::optional<double> rf_freq;    // MHz
    std::optional<double> if_freq;    // MHz
    std::optional<double> lo_error;   // Hz (the radio reports MHz)
    std::optional<double> max_power;  // dBm
    std::optional<double> rx_gain;    // dB
    std::optional<double> order;      // its place in the radio's list
    Number rx_only;                   // flags: 0 or 1
    Number is_valid;
    Number preferred;
    std::optional<double> two_meter_int;
    Number in_use = 1;  // 0 in a line that removes the transverter
};

}  // namespace vm
