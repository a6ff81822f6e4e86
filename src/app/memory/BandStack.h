#pragma once
// Band stacks: for each amateur band from 160 m to 6 m a short list of frequency-and-mode pairs
// where the operator has been, walked round by the band buttons and grown from the active slice.
#include "platform/core/ArchiveValue.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm {

// One entry of a band's stack. Frequencies stay the text they were made from.
struct FrequencyAndMode {
    std::string megahertz;
    std::string mode;
    std::optional<ArchiveDate> timeStamp;  // when the entry was made; orders entries by age

    // Within 1e-5 MHz (10 Hz, strictly) and the same mode, case-sensitive; the time stamp plays
    // no part.
    bool isEqual(const FrequencyAndMode& other) const;
};

// Entries are shared: the band-stack editor edits the very entries of the stack.
using StackEntry = std::shared_ptr<FrequencyAndMode>;

struct BandStack {
    std::vector<StackEntry> stackEntries;      // in insertion order
    std::optional<std::int64_t> currentEntry;  // the entry the next band press gives; none is 0

    // Every entry's frequency rewritten as its number in the shortest form ("14.240" -> "14.24").
    void cleanFrequency();
    // Drops entries with an empty frequency or mode, later copies of an equal entry, and entries
    // without a time stamp, logging each.
    void removeDuplicates();
    // Removes the entry with the earliest time stamp (the first of equally old ones) and any
    // entry equal to it.
    void removeOldestEntry();
    // True when another entry (not `entry` itself) lies within 1e-6 MHz in the same mode.
    bool duplicate(const FrequencyAndMode& entry) const;
};

// "160M" ... "6M" for a frequency inside an amateur band (both edges included), else "".
std::string bandMetersFromMHz(double megahertz);

// The time now, as an archive's dates count it.
ArchiveDate archiveDateNow();

}  // namespace vm
