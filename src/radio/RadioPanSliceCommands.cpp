// Asking the radio for a new panadapter or slice, or to remove one. The reply to a panadapter
// request names the new panadapter and waterfall; a new or removed slice shows up only in the
// radio's slice status lines; a deleted slice leaves its slot.
#include "platform/core/Log.h"
#include "radio/CommandText.h"
#include "radio/CommandValues.h"
#include "radio/Radio.h"
#include "radio/ReplyLine.h"
#include "util/TextUnits.h"

#include <fmt/format.h>

namespace vm {

namespace {

bool hasFreeSlice(const Number& availableSlices) { return availableSlices.value_or(0) != 0; }

}  // namespace

bool Radio::cmdNewPanafall(double width, double height) {
    if (const Number available = availablePanadapters(); available && *available == 0) {
        log("cmdNewPanafall:availablePanadapters:[{}]", *available);
        return false;
    }
    if (!displaySubscribed_.exchange(true)) {
        commandToRadio("sub pan all");
    }
    commandToRadio(fmt::format("display panafall create x={} y={}", commandPixels(width),
                               commandPixels(height)),
                   &Radio::panafallCreateCallback);
    return true;
}

void Radio::cmdRemovePanafall(const std::string& panafallStreamId) {
    commandToRadio(fmt::format("display pan remove {}", panafallStreamId));
}

void Radio::panafallCreateCallback(const std::string& response) {
    const Reply reply = splitReply(response);
    if (!replySucceeded(reply)) {
        log("panafallCreateCallback:errorNumAsString:[{}]", reply.code);
        return;
    }
    const auto ids = strings::units::split(reply.data, ',');
    if (ids.size() != 2 || ids[0].empty() || ids[1].empty()) {
        log("panafallCreateCallback:no stream ids:[{}]", reply.data);
        return;
    }
    if (panafallPairMaker_) {
        panafallPairMaker_(*this, reformatStreamId(ids[0]), reformatStreamId(ids[1]));
    }
}

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
