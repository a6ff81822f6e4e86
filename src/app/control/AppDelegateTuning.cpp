// Fine tuning of a slice from the display views' wheel and keys.
#include "app/shell/AppDelegate.h"

#include "app/control/PanLookups.h"
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"

#include <fmt/format.h>

#include <QPointer>

#include <chrono>
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
    const double mhz = old + hz * modeFactor(slice->sliceMode().value_or("")) / 1e6;
    const std::shared_ptr<Panafall> pan = panForFrequency(old);
    slice->setSliceFrequency(fmt::format("{:0.6f}", mhz), 0);
    if (!pan) {
        return;
    }
    const double outside = lookups::frequencyOutSidePanadapter(
        {pan->center().value_or(0), pan->bandwidth().value_or(0), pan->streamId()}, mhz);
    if (outside == 0.0) {
        return;
    }
    pan->setCenter(static_cast<float>(pan->center().value_or(0) + outside));
    const std::optional<int> index = shownPanIndex(pan);
    const std::optional<PanSlot> slot = index ? panSlot(*index) : std::nullopt;
    if (!slot) {
        return;
    }
    QPointer<PanAdapterView> panView = slot->panAdapterView;
    QPointer<WaterFallView> view = slot->waterFallView;
    const auto setScrolling = [panView, view](bool on) {
        if (panView) {
            panView->setScrolling(on);
        }
        if (view) {
            view->setScrolling(on);
        }
    };
    setScrolling(true);
    DispatchQueue::main()->after(std::chrono::milliseconds(10),
                                 [setScrolling] { setScrolling(false); });
}

}  // namespace vm
