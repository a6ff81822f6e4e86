// The session's side of the meters: "meter <n>.src=SLC#<n>.num=0#<n>.nam=LEVEL#..." files a new
// meter under its number and its short name and gives a slice meter to its slice; "meter <n>
// removed" takes a slice meter away again. Each meter is also filed with the stream router, which
// finds it by number for its values.
#include "objects/Meter.h"
#include "objects/ObjectRoutes.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"

namespace vm {

namespace {

bool isSliceNumber(int number) { return number >= 0 && number < static_cast<int>(kSliceSlots); }

void parseMeterToken(Radio& radio, Scanner& scan, bool /*selfStatus*/) {
    Scanner numberScan = scan;
    int number = 0;
    if (!numberScan.scanInt(&number)) {
        log("Radio:parseMeterToken:no meter number:[{}]", scan.string());
        return;
    }
    const std::string key = std::to_string(number);
    const auto sliceAt = [&radio](int sliceNum) {
        return radio.slices()->with(
            [&](const auto& slots) { return slots[static_cast<std::size_t>(sliceNum)]; });
    };

    if (scan.string().find("removed") != std::string::npos) {
        const std::shared_ptr<Meter> meter = radio.meters()->with([&](const auto& byNumber) {
            const auto found = byNumber.find(key);
            return found == byNumber.end() ? nullptr : found->second;
        });
        if (!meter || meter->meterSource() != kMeterSourceSlice) {
            return;
        }
        const int sliceNum = meter->sliceNum();
        const std::shared_ptr<Slice> slice = isSliceNumber(sliceNum) ? sliceAt(sliceNum) : nullptr;
        if (!slice) {
            log("Radio:parseMeterToken:thisSlice:thisMeter.sliceNum:{} is null", sliceNum);
            return;
        }
        slice->removeMeter(meter);
        const std::string shortName = meter->shortName();
        radio.metersByShortName()->with([&](auto& byName) { byName.erase(shortName); });
        radio.meters()->with([&](auto& byNumber) { byNumber.erase(key); });
        radio.streamTables().meters.erase(number);
        return;
    }

    if (radio.meters()->with([&](const auto& byNumber) { return byNumber.contains(key); })) {
        return;
    }
    const auto meter = std::make_shared<Meter>();
    meter->setupMeter(radio.shared_from_this(), scan);
    radio.meters()->with([&](auto& byNumber) { byNumber.emplace(key, meter); });
    radio.streamTables().meters.insert(number, meter);
    const std::string shortName = meter->shortName();
    radio.metersByShortName()->with([&](auto& byName) { byName[shortName] = meter; });
    if (meter->meterSource() != kMeterSourceSlice) {
        return;
    }
    const int sliceNum = meter->sliceNum();
    if (!isSliceNumber(sliceNum)) {
        log("Radio:parseMeterToken:meter:[{}] sliceNum:[{}] out of range", key, sliceNum);
        return;
    }
    if (const auto slice = sliceAt(sliceNum)) {
        slice->addMeter(meter);
    }
}

}  // namespace

void attachMeters(Radio& radio) { radio.routeStatus(kStatusMeter, parseMeterToken); }

}  // namespace vm
