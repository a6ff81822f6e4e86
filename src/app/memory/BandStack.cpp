#include "app/memory/BandStack.h"

#include "app/control/BandNames.h"
#include "platform/core/Log.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace vm {

bool FrequencyAndMode::isEqual(const FrequencyAndMode& other) const {
    if (this == &other) {
        return true;
    }
    return std::fabs(strings::doubleValue(megahertz) - strings::doubleValue(other.megahertz)) <
               0.00001 &&
           mode == other.mode;
}

void BandStack::cleanFrequency() {
    for (const StackEntry& entry : stackEntries) {
        entry->megahertz = fmt::format("{:g}", strings::doubleValue(entry->megahertz));
    }
}

void BandStack::removeDuplicates() {
    const std::vector<StackEntry> entries = stackEntries;
    stackEntries.clear();
    for (const StackEntry& entry : entries) {
        if (entry->megahertz.empty() || entry->mode.empty()) {
            log("removeDuplicates:[{} {}] is invalid", entry->megahertz, entry->mode);
            continue;
        }
        const bool seen =
            std::any_of(stackEntries.begin(), stackEntries.end(),
                        [&](const StackEntry& kept) { return kept->isEqual(*entry); });
        if (seen) {
            log("removeDuplicates:[{} {}] is not unique", entry->megahertz, entry->mode);
            continue;
        }
        if (!entry->timeStamp) {
            log("removeDuplicates:[{} {}] bad time stamp", entry->megahertz, entry->mode);
            continue;
        }
        stackEntries.push_back(entry);
    }
}

void BandStack::removeOldestEntry() {
    if (stackEntries.empty()) {
        return;
    }
    // An entry without a time stamp counts as the oldest of all.
    const auto stamp = [](const StackEntry& e) {
        return e->timeStamp ? e->timeStamp->secondsSinceReferenceDate : -HUGE_VAL;
    };
    StackEntry oldest = stackEntries.front();
    for (const StackEntry& entry : stackEntries) {
        if (stamp(entry) < stamp(oldest)) {
            oldest = entry;
        }
    }
    std::erase_if(stackEntries, [&](const StackEntry& e) { return e->isEqual(*oldest); });
}

bool BandStack::duplicate(const FrequencyAndMode& entry) const {
    return std::any_of(stackEntries.begin(), stackEntries.end(), [&](const StackEntry& other) {
        return other.get() != &entry &&
               std::fabs(strings::doubleValue(other->megahertz) -
                         strings::doubleValue(entry.megahertz)) < 0.000001 &&
               other->mode == entry.mode;
    });
}

std::string bandMetersFromMHz(double megahertz) {
    const std::string meters = lookups::strippedBandMetersFromMHz(megahertz);
    return meters.empty() ? meters : meters + "M";
}

ArchiveDate archiveDateNow() {
    // 2001-01-01 00:00:00 UTC in Unix seconds.
    constexpr double kReferenceDate = 978307200.0;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return ArchiveDate{std::chrono::duration<double>(now).count() - kReferenceDate};
}

}  // namespace vm
