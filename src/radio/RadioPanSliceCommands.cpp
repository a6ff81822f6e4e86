// Asking the radio for a new slice or to remove one. A new or removed slice shows up only in the
// radio's slice status lines; a deleted slice leaves its slot.
#include "radio/CommandText.h"
#include "radio/Radio.h"

#include <fmt/format.h>

namespace vm {

namespace {

bool hasFreeSlice(const Number& availableSlices) { return availableSlices.value_or(0) != 0; }

}  // namespace

void Radio::cmdNewSlice() {
    if (hasFreeSlice(availableSlices())) {
        commandToRadio("slice create");
    }
}

void Radio::cmdNewSlice(const std::string& frequency, const std::string& antenna,
                        const std::string& mode) {
    if (hasFreeSlice(availableSlices())) {
        commandToRadio(fmt::format("slice create freq={} ant={} mode={}", commandField(frequency),
                                   commandField(antenna), commandField(mode)));
    }
}

void Radio::cmdNewSlice(const std::string& frequency, const std::string& antenna,
                        const std::string& mode, const std::string& panafall) {
    if (hasFreeSlice(availableSlices())) {
        commandToRadio(fmt::format("slice create pan=0x{} freq={} ant={} mode={}",
                                   commandField(panafall), commandField(frequency),
                                   commandField(antenna), commandField(mode)));
    }
}

void Radio::cmdRemoveSlice(int sliceNumber) {
    commandToRadio(fmt::format("slice remove {}", sliceNumber));
}

// The slot is found by the slice itself, so a slice deleted late can never empty the slot of a
// newer slice with the same number.
void Radio::sliceDeleteNotification(const Notification& notification) {
    if (!notification.object) {
        return;
    }
    slices()->with([&](auto& slots) {
        for (auto& slot : slots) {
            if (slot.get() == notification.object.get()) {
                slot = nullptr;
            }
        }
    });
}

}  // namespace vm
