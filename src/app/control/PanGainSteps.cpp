#include "app/control/PanGainSteps.h"

#include <cstdlib>

namespace vm::lookups {

namespace {

int gain(const std::string& text) {
    return static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

}  // namespace

GainSteps panGainSteps(const std::vector<std::string>& preAmpList) {
    GainSteps steps;
    if (preAmpList.size() < 2) {
        return steps;
    }
    steps.shown = true;
    if (preAmpList.size() == 2) {
        steps.items = preAmpList;
        return steps;
    }
    const int low = gain(preAmpList[0]);
    const int high = gain(preAmpList[1]);
    const int step = gain(preAmpList[2]);
    steps.selectGain = true;
    if (step <= 0) {
        if (low <= high) {
            steps.items.push_back(std::to_string(low));
        }
        return steps;
    }
    for (long value = low; value <= high; value += step) {
        steps.items.push_back(std::to_string(value));
    }
    return steps;
}

}  // namespace vm::lookups
