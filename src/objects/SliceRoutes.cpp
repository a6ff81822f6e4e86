// The session's side of the slices: "slice <n> key=value ..." lines. A slot is filled by a line
// that says "in_use=1", its later lines go to the slice's own parser on the slice's queue, and a
// line that says "in_use=0" empties it. This client's slices are announced with "SliceCreated" and
// "SliceDeleted".
#include "objects/Meter.h"
#include "objects/ObjectRoutes.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "radio/Radio.h"

#include <chrono>
#include <vector>

namespace vm {

namespace {

// On the session's queue, for every "slice" line.
void parseSliceToken(Radio& radio, Scanner& scan, bool /*selfStatus*/) {
    const std::string& line = scan.string();
    long long number = -1;
    if (!scan.scanLongLong(&number) || number < 0 ||
        number >= static_cast<long long>(kSliceSlots)) {
        log("Radio:parseSliceToken:slice number out of range:[{}]", line);
        return;
    }
    scan.scanString(" ");
    const auto slot = static_cast<std::size_t>(number);
    const std::shared_ptr<Slice> slice =
        radio.slices()->with([&](const auto& slots) { return slots[slot]; });

    if (slice) {
        if (line.find("in_use=0") != std::string::npos) {
            if (radio.debugLogLevel() >= 2) {
                log("parseSliceToken: deleted slice pan:{}, client:{}",
                    slice->panForSlice().value_or(""), slice->clientHandle().value_or(""));
            }
            radio.slices()->with([&](auto& slots) { slots[slot] = nullptr; });
            if (ourSlice(radio, *slice)) {
                DispatchQueue::main()->async(
                    [slice] { NotificationCenter::defaultCenter().post("SliceDeleted", slice); });
            } else {
                log("parseSliceToken:delete slice - not ours");
            }
            return;
        }
        slice->sliceRunQueue()->asyncOrRunIdle(
            [slice, scan]() mutable { slice->statusParserImmediate(scan, false); });
        return;
    }
    if (line.find("in_use=1") == std::string::npos) {
        return;
    }

    const auto created = Slice::create(radio.shared_from_this(), static_cast<int>(slot));
    std::vector<std::shared_ptr<Meter>> sliceMeters;
    radio.meters()->with([&](const auto& byNumber) {
        for (const auto& [key, meter] : byNumber) {
            if (meter->meterSource() == kMeterSourceSlice &&
                meter->sliceNum() == static_cast<int>(slot)) {
                sliceMeters.push_back(meter);
            }
        }
    });
    for (const auto& meter : sliceMeters) {
        created->addMeter(meter);
    }
    // Filled before it goes into its slot, so that no other thread finds it without its values.
    created->statusParserImmediate(scan, true);
    radio.slices()->with([&](auto& slots) { slots[slot] = created; });
    if (radio.debugLogLevel() >= 2) {
        log("parseSliceToken: new slice pan:{}, client:{}", created->panForSlice().value_or(""),
            created->clientHandle().value_or(""));
    }
    if (!ourSlice(radio, *created)) {
        if (radio.debugLogLevel() >= 2) {
            log("parseSliceToken:new slice - not ours");
        }
        return;
    }
    // A slice that is gone again by the time of the announcement (its "SliceDeleted" already on
    // its way, or the session closed) is not announced: observers never hear of a slice as created
    // after they heard of it as deleted.
    DispatchQueue::main()->after(std::chrono::milliseconds(100), [weak = radio.weak_from_this(),
                                                                  created, slot] {
        const auto session = weak.lock();
        if (session &&
            session->slices()->with([&](const auto& slots) { return slots[slot] == created; })) {
            NotificationCenter::defaultCenter().post("SliceCreated", created);
        }
    });
}

// Told before the slots are emptied when the session closes.
void closeSlices(Radio& radio) {
    radio.slices()->with([](const auto& slots) {
        for (const auto& slice : slots) {
            if (slice) {
                slice->youAreBeingDeleted();
            }
        }
    });
}

}  // namespace

void attachSlices(Radio& radio) {
    radio.routeStatus(kStatusSlice, parseSliceToken);
    radio.whenClosing(closeSlices);
}

bool ourSlice(const Radio& radio, const Slice& slice) {
    const auto instance = radio.radioInstance();
    if (!instance || !instance->supportsMultiDoro || radio.isGui().value_or(0) == 0) {
        return true;
    }
    const Text own = radio.clientHandle();
    if (!own || own->empty()) {
        return false;
    }
    const Text theirs = slice.clientHandle();
    if (!theirs || theirs->empty()) {
        log("ourSlice:clientHandle is nil");
        return false;
    }
    return *own == *theirs;
}

}  // namespace vm
