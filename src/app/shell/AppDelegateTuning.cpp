// Fine tuning of a slice from the display views' wheel and keys.
#include "app/shell/AppDelegate.h"

#include "app/control/PanLookups.h"
#include "app/control/SiblingBridge.h"
#include "app/panels/PanadapterController.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"

#include <fmt/format.h>

#include <cstdlib>

namespace vm {

namespace {

// Data modes tune in tenths of the step.
double modeFactor(const std::string& mode) {
    return mode == "CW" || mode == "RTTY" || mode == "DIGU" ? 0.1 : 1.0;
}

}  // namespace

void AppDelegate::fineTuneHz(double hz, const std::shared_ptr<Slice>& slice) {
    if (!openRadio || !slice) {
        return;
    }
    if (slice->sliceLocked().value_or(false)) {
        if (debugEnabled()) {
            log("fineTuneHz:VFO is frequency locked.");
        }
        return;
    }
    const Text frequency = slice->sliceFrequency();
    const double old = frequency ? std::strtod(frequency->c_str(), nullptr) : 0.0;
    const double step = hz * modeFactor(slice->sliceMode().value_or("")) / 1e6;
    const double mhz = old + step;
    const std::shared_ptr<Panafall> pan = panForFrequency(old);
    slice->setSliceFrequency(fmt::format("{:0.6f}", mhz), 0);
    siblingBridge->fineTuned(slice->sliceActive().value_or(false), step);
    if (!pan) {
        return;
    }
    const double outside = lookups::frequencyOutSidePanadapter(
        {pan->center().value_or(0), pan->bandwidth().value_or(0), pan->streamId()}, mhz);
    if (outside == 0.0) {
        return;
    }
    pan->setCenter(static_cast<float>(pan->center().value_or(0) + outside));
    if (PanadapterController* panadapter = panadapterShowing(pan)) {
        panadapter->scrollWhileRecentring();
    }
}

}  // namespace vm
