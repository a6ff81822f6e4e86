// Creation of a slice and its meters.
#include "objects/Slice.h"

#include "objects/Meter.h"

#include <fmt/format.h>

namespace vm {

Slice::Slice(Private, const std::shared_ptr<RadioLink>& radio, int sliceNumber)
    : sliceRunQueue(this, "sliceRunQueue",
                    DispatchQueue::serial(
                        fmt::format("com.velmorasoftware.vmsdr.sliceQueue-{}", sliceNumber))),
      thisSliceNumber(this, "thisSliceNumber", sliceNumber),
      radio_(radio) {
    debugLogLevel.store(radio ? radio->logLevel() : 0);
}

std::shared_ptr<Slice> Slice::create(const std::shared_ptr<RadioLink>& radio, int sliceNumber) {
    return std::make_shared<Slice>(Private{}, radio, sliceNumber);
}

void Slice::addMeter(const std::shared_ptr<Meter>& meter) {
    if (!meter) {
        return;
    }
    const std::string name = meter->shortName();
    meters()->with([&](auto& byName) { byName[name] = meter; });
}

void Slice::removeMeter(const std::shared_ptr<Meter>& meter) {
    if (!meter) {
        return;
    }
    const std::string name = meter->shortName();
    meters()->with([&](auto& byName) { byName.erase(name); });
}

}  // namespace vm
