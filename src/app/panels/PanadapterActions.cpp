// What the operator does with a pan's display controls and its settings page: each control
// calls the shown panafall's setter, which sends the command; the split between the panadapter
// view and the waterfall view follows the share slider and the split bar.
#include "app/panels/PanadapterController.h"

#include "app/control/SliceEntries.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanSettingsPage.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/ViewSplit.h"
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "platform/core/Defaults.h"
#include "platform/core/DispatchQueue.h"
#include "platform/ui/ColorWell.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <cmath>

namespace vm {

namespace {

// A span or a centre the radio can take: a positive, finite number of MHz.
bool usableMegahertz(double megahertz) { return std::isfinite(megahertz) && megahertz > 0; }

}  // namespace

void PanadapterController::connectControls() {
    const std::weak_ptr<PanadapterController> weak = weak_from_this();
    const auto on = [weak](auto* control, auto signal, void (PanadapterController::*action)()) {
        QObject::connect(control, signal, control, [weak, action] {
            if (const auto self = weak.lock()) {
                ((*self).*action)();
            }
        });
    };
    using C = PanadapterController;
    PanControls& c = *panControls;
    on(c.bandwidthSlider, &Slider::action, &C::bandwidthSliderChanged);
    on(c.averageSlider, &Slider::action, &C::averageSliderMoved);
    on(c.fpsSlider, &Slider::action, &C::fpsSliderMoved);
    on(c.minDbmSlider, &Slider::action, &C::minDbmSliderMoved);
    on(c.maxDbmSlider, &Slider::action, &C::maxDbmSliderMoved);
    on(c.preAmpListPopup, &PopUpButton::action, &C::preAmpPopupChanged);
    on(c.wnbLevelSlider, &Slider::action, &C::wnbLevelSliderMoved);
    on(c.wnbButton, &ImageButton::action, &C::wnbButtonChanged);
    on(c.bandText, &TextField::endEditing, &C::bandTextLabelChanged);
    if (panSettings) {
        on(panSettings->daxIqPopup, &PopUpButton::action, &C::daxIqPopupChanged);
        on(panSettings->maxBandwidthPopup, &PopUpButton::action, &C::maxBandwidthPopupChanged);
        on(panSettings->viewProportion, &Slider::action, &C::viewSliderMoved);
    }
}

void PanadapterController::handControlsToView() {
    const PanControls& c = *panControls;
    waterFallView->setControls({c.autoBlackEnabledCheckBox, c.blackLevelSlider, c.blackLevelText,
                                c.colorGainSlider, c.colorGainText, c.lineDurationSlider,
                                c.lineDurationText, c.waterfallFpsText});
    if (!panSettings) {
        return;
    }
    PanAdapterControls controls;
    controls.verticalAxisTicksSliders[std::size_t(pan_)] = panSettings->verticalAxisTicksSlider;
    controls.horizontalAxisTicksSliders[std::size_t(pan_)] = panSettings->horizontalAxisTicksSlider;
    controls.fftColorWell = panSettings->fftColorWell;
    controls.filterColorWell = panSettings->filterColorWell;
    controls.tnfColorWell = panSettings->tnfColorWell;
    panAdapterView->setControls(controls);
}

// --- Display controls.

void PanadapterController::bandwidthSliderChanged() {
    DispatchQueue::main()->async([weak = weak_from_this()] {
        const auto self = weak.lock();
        if (!self || !self->panafall) {
            return;
        }
        const double megahertz = self->panControls->bandwidthSlider->doubleValue();
        if (usableMegahertz(megahertz)) {
            self->panafall->setBandwidth(static_cast<float>(megahertz));
        }
    });
}

void PanadapterController::averageSliderMoved() {
    if (panafall) {
        panafall->setAverage(static_cast<int>(panControls->averageSlider->doubleValue()));
    }
}

void PanadapterController::fpsSliderMoved() {
    if (panafall) {
        panafall->setFps(static_cast<int>(panControls->fpsSlider->doubleValue()));
    }
}

void PanadapterController::minDbmSliderMoved() {
    if (panafall) {
        panafall->setMinDbm(static_cast<float>(panControls->minDbmSlider->doubleValue()));
    }
}

void PanadapterController::maxDbmSliderMoved() {
    if (panafall) {
        panafall->setMaxDbm(static_cast<float>(panControls->maxDbmSlider->doubleValue()));
    }
}

void PanadapterController::preAmpPopupChanged() {
    if (panafall) {
        panafall->setRfGain(
            static_cast<int>(strings::doubleValue(panControls->preAmpListPopup->title())));
    }
}

void PanadapterController::wnbLevelSliderMoved() {
    if (panafall) {
        panafall->setWnbLevel(static_cast<int>(panControls->wnbLevelSlider->doubleValue()));
    }
}

void PanadapterController::wnbButtonChanged() {
    if (panafall) {
        panafall->setWnb(panControls->wnbButton->state());
    }
}

// A centre that does not read as a frequency is not sent: the field shows the pan's centre
// again.
void PanadapterController::bandTextLabelChanged() {
    if (!panafall) {
        return;
    }
    const double megahertz = panControls->bandText->doubleValue();
    if (usableMegahertz(megahertz)) {
        panafall->setCenter(static_cast<float>(megahertz));
    } else {
        panControls->bandText->setStringValue(
            fmt::format("{:0.3f}", panafall->center().value_or(0)));
    }
}

// --- Settings page.

void PanadapterController::daxIqPopupChanged() {
    const auto channel = entries::daxChannel(panSettings->daxIqPopup->title());
    if (panafall && channel) {
        panafall->setDaxIQ(static_cast<int>(*channel));
    }
}

void PanadapterController::maxBandwidthPopupChanged() {
    const std::string title = panSettings->maxBandwidthPopup->title();
    const double widest = strings::doubleValue(title);
    if (!usableMegahertz(widest)) {
        return;
    }
    Slider* slider = panControls->bandwidthSlider;
    slider->setMaxValue(widest);
    Defaults::standard().set(PanSettingsPage::maxBandwidthKey(pan_), PlistValue(title));
    if (panafall && usableMegahertz(slider->doubleValue())) {
        panafall->setBandwidth(static_cast<float>(slider->doubleValue()));
    }
}

// --- The split between the views.

void PanadapterController::adjustPanadapterViews() {
    if (!panSettings) {
        return;
    }
    const int share = static_cast<int>(panSettings->viewProportion->doubleValue());
    panSettings->viewProportionText->setIntValue(share);
    velmoraSDRWindow->viewSplit->setWaterfallShare(share);
}

void PanadapterController::viewSliderMoved() {
    panAdapterView->setResizing(true);
    waterFallView->setResizing(true);
    adjustPanadapterViews();
    const unsigned move = ++viewSliderMoves_;
    DispatchQueue::main()->async([weak = weak_from_this(), move] {
        const auto self = weak.lock();
        if (self && self->viewSliderMoves_ == move) {
            self->viewSliderDoneMoving();
        }
    });
}

void PanadapterController::viewSliderDoneMoving() {
    panAdapterView->setResizing(false);
    waterFallView->setResizing(false);
    storeViewProportion();
    waterFallView->drawFullWaterfall();
}

void PanadapterController::dragPanadapterViews(double percent) {
    if (!panSettings || !std::isfinite(percent)) {
        return;
    }
    Slider* share = panSettings->viewProportion;
    share->setDoubleValue(share->doubleValue() + percent);
    adjustPanadapterViews();
    storeViewProportion();
}

void PanadapterController::storeViewProportion() {
    if (panSettings) {
        Defaults::standard().set(
            PanSettingsPage::viewProportionKey(pan_),
            PlistValue(static_cast<std::int64_t>(panSettings->viewProportion->doubleValue())));
    }
}

}  // namespace vm
