#pragma once
// One transverter the radio reports ("xvtr" status lines): a plain record. The session builds a
// new record for every line and replaces the stored one of the same key on the main queue, so a
// record never changes once it is in the session's list. Numbers are empty until a line gives
// them.
//
// A transverter archives as a keyed-archive record of class kClassName, each of its thirteen
// fields under its own name ("key", "name", "rf_freq", ... "in_use"); a field without a value is
// left out.
#include "platform/core/ArchiveValue.h"
#include "radio/RadioTypes.h"

#include <optional>
#include <set>
#include <string>

namespace vm {

class Xvtr {
public:
    static constexpr const char* kClassName = "Xvtr";

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

    bool operator==(const Xvtr&) const = default;

    // The transverter as a record of class kClassName: texts as strings, the others as numbers
    // (reals, and 0 or 1 for the flags).
    ArchiveValue archiveValue() const;
    // A transverter from such a record, every field read from it: "key" and "name" from strings,
    // the others from numbers (a flag by its truth, as 0 or 1); a field that is absent or of
    // another kind is empty. Nothing for a value that is not a record of kClassName.
    static std::optional<Xvtr> fromArchive(const ArchiveValue& value);
    // The classes a keyed archive of transverters holds, for KeyedUnarchiver::decodeTopObject.
    static const std::set<std::string>& archiveClasses();
};

}  // namespace vm
