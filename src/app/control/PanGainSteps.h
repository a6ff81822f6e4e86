#pragma once
// The items of a panadapter's preamplifier gain pop-up, from the radio's list of its gains: either
// the gain names themselves, or the lowest gain, the highest gain and the step (dB).
#include <string>
#include <vector>

namespace vm::lookups {

struct GainSteps {
    bool shown = false;              // fewer than 2 entries: the pop-up is hidden
    std::vector<std::string> items;  // the titles, lowest gain first
    bool selectGain = false;         // the pop-up then selects the current gain
};

// With 2 entries, those two titles; with 3 or more, "%d" from the lowest gain upward by the step
// while it does not exceed the highest. A step of 0 or less (which the radio never sends) gives
// the lowest gain alone, so the pop-up still offers the one gain that the list names for sure.
GainSteps panGainSteps(const std::vector<std::string>& preAmpList);

}  // namespace vm::lookups
