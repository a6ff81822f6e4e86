// Which slice or panadapter is meant, for the controller and the views: the lookups of
// SliceLookups.h and PanLookups.h over this client's slices and panadapters, the band of the
// active slice, the band name of a panadapter, and the request for a missing slice A or B.
#include "app/shell/AppDelegate.h"

#include "app/control/BandNames.h"
#include "app/control/SliceLookups.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "radio/Xvtr.h"

namespace vm {

std::shared_ptr<Slice> AppDelegate::sliceWithNumber(int number) const {
    return lookups::sliceWithNumber(doroSlices, number);
}

std::shared_ptr<Slice> AppDelegate::getSliceA() const { return sliceWithNumber(0); }
std::shared_ptr<Slice> AppDelegate::getSliceB() const { return sliceWithNumber(1); }
std::shared_ptr<Slice> AppDelegate::getSliceC() const { return sliceWithNumber(2); }
std::shared_ptr<Slice> AppDelegate::getSliceD() const { return sliceWithNumber(3); }
std::shared_ptr<Slice> AppDelegate::activeVFO() const { return lookups::activeVFO(doroSlices); }
std::shared_ptr<Slice> AppDelegate::alternateVFO() const {
    return lookups::alternateVFO(doroSlices);
}
std::shared_ptr<Slice> AppDelegate::transmitVFO() const { return lookups::transmitVFO(doroSlices); }
std::shared_ptr<Slice> AppDelegate::lastSlice() const { return lookups::lastSlice(doroSlices); }

std::shared_ptr<Slice> AppDelegate::closestSlice(double mhz) const {
    return lookups::closestSlice(doroSlices, mhz);
}

int AppDelegate::activeBandNumeric() const {
    const auto active = activeVFO();
    return active ? lookups::bandNumericFromMHz(lookups::sliceMegahertz(*active)) : 0;
}

std::shared_ptr<Panafall> AppDelegate::panForFrequency(double mhz) const {
    std::vector<lookups::PanSpan> spans;
    for (const auto& pan : doroPanafalls) {
        spans.push_back({pan->center().value_or(0), pan->bandwidth().value_or(0), pan->streamId()});
    }
    const auto index = lookups::panForFrequency(spans, mhz);
    return index ? doroPanafalls[*index] : nullptr;
}

std::string AppDelegate::panNameForPan(const std::shared_ptr<Panafall>& pan) const {
    if (!pan) {
        return "";
    }
    const std::string band = lookups::bandStringFromFrequency(
        pan->center().value_or(0), [this](double mhz) -> std::optional<std::string> {
            const auto xvtr = openRadio ? openRadio->xvtrForFrequency(mhz) : nullptr;
            return xvtr ? xvtr->key : std::nullopt;
        });
    if (band.empty()) {
        return "";
    }
    return band.front() == 'X' ? xvtrNameForXKey(band) : band + "M";
}

bool AppDelegate::needDoroVFO(int vfo, const std::shared_ptr<Radio>& radio) {
    if (!radio) {
        log("needDoroVFO:Missing Radio");
        return true;
    }
    if (vfo != 0 && vfo != 1) {
        return false;
    }
    if (sliceWithNumber(vfo)) {
        return false;
    }
    log("needDoroVFO:Missing VFO:{}", vfo);
    // The new slice takes the other one's frequency, antenna and mode when there is one.
    std::weak_ptr<AppDelegate> weak = weak_from_this();
    DispatchQueue::main()->async([weak, radio, other = vfo == 0 ? 1 : 0] {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        if (const auto model = self->sliceWithNumber(other)) {
            radio->cmdNewSlice(model->sliceFrequency().value_or(""),
                               model->sliceRxAnt().value_or(""), model->sliceMode().value_or(""));
        } else {
            radio->cmdNewSlice();
        }
    });
    return true;
}

}  // namespace vm
