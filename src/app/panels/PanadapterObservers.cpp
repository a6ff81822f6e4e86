// The panadapter observers: the pan's display controls, its tab label and its gain pop-up follow
// the panafall the pan shows, and the waterfall view follows that panafall's waterfall. Nothing
// here sends to the radio.
#include "app/control/PanGainSteps.h"
#include "app/panels/PanadapterController.h"
#include "app/panels/PanadapterHost.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanSettingsPage.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/WaterFallView.h"
#include "platform/core/Log.h"

#include <fmt/format.h>

namespace vm {

namespace {

// A level shown by its slider and, in `format`, by its text field.
void showLevel(PanControls& controls, double value, const char* format,
               Slider* PanControls::*slider, TextField* PanControls::*text) {
    (controls.*slider)->setDoubleValue(value);
    (controls.*text)->setStringValue(fmt::format(fmt::runtime(format), value));
}

// A count shown by its slider and its text field.
void showCount(PanControls& controls, int value, Slider* PanControls::*slider,
               TextField* PanControls::*text) {
    (controls.*slider)->setIntValue(value);
    (controls.*text)->setIntValue(value);
}

// Selects the item titled `title`; a title that is not there leaves the selection as it was.
void selectTitle(PopUpButton* popup, const std::string& title) {
    if (popup->indexOfItemWithTitle(title) >= 0) {
        popup->selectItemWithTitle(title);
    }
}

}  // namespace

// The panafall's link to its waterfall is announced as its `waterfallId`, which the link sets.
const KeyTable<PanadapterController, Panafall>& PanadapterController::panafallKeyTable() {
    using C = PanadapterController;
    static const KeyTable<C, Panafall> kRows = {
        {&Panafall::waterfallId, &C::waterfallChanged},
        {&Panafall::center, &C::centerChanged},
        {&Panafall::bandwidth, &C::bandwidthChanged},
        {&Panafall::panDimensions, &C::panDimensionsChanged},
        {&Panafall::minDbm, &C::minDbmChanged},
        {&Panafall::maxDbm, &C::maxDbmChanged},
        {&Panafall::average, &C::averageChanged},
        {&Panafall::fps, &C::fpsChanged},
        {&Panafall::preAmpList, &C::preAmpListChanged},
        {&Panafall::rfGain, &C::rfGainChanged},
        {&Panafall::band, &C::bandChanged},
        {&Panafall::wnb, &C::wnbChanged},
        {&Panafall::wnbLevel, &C::wnbLevelChanged},
        {&Panafall::droppedFrames, &C::droppedFramesChanged},
        {&Panafall::wnbUpdating, &C::wnbUpdatingChanged},
        {&Panafall::daxIQ, &C::daxIqChanged},
    };
    return kRows;
}

const KeyTable<WaterFallView, Waterfall>& PanadapterController::waterfallKeyTable() {
    static const KeyTable<WaterFallView, Waterfall> kRows = {
        {&Waterfall::colorGain, &WaterFallView::colorGainChanged},
        {&Waterfall::blackLevel, &WaterFallView::blackLevelChanged},
        {&Waterfall::autoBlack, &WaterFallView::autoBlackChanged},
        {&Waterfall::lineDuration, &WaterFallView::lineDurationChanged},
    };
    return kRows;
}

PanControls* PanadapterController::shownControls(const std::shared_ptr<Panafall>& pan,
                                                 const char* handler) const {
    if (!pan) {
        log("{}:Error", handler);
        return nullptr;
    }
    return pan == panafall ? panControls : nullptr;
}

void PanadapterController::centerChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    PanControls* controls = shownControls(pan, "centerChanged");
    if (pan && host_.debugEnabled()) {
        log("thisPanafall:{} centerChanged:[{}]", pan->band().value_or(""),
            pan->center().value_or(0));
    }
    if (controls) {
        controls->bandText->setStringValue(fmt::format("{:0.3f}", pan->center().value_or(0)));
    }
}

void PanadapterController::minDbmChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (PanControls* controls = shownControls(pan, "minDbmChanged")) {
        showLevel(*controls, pan->minDbm().value_or(0), "{:0.0f}", &PanControls::minDbmSlider,
                  &PanControls::minDbmText);
    }
}

void PanadapterController::maxDbmChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (PanControls* controls = shownControls(pan, "maxDbmChanged")) {
        showLevel(*controls, pan->maxDbm().value_or(0), "{:0.0f}", &PanControls::maxDbmSlider,
                  &PanControls::maxDbmText);
    }
}

void PanadapterController::bandwidthChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (PanControls* controls = shownControls(pan, "bandwidthChanged")) {
        showLevel(*controls, pan->bandwidth().value_or(0), "{:0.3f}", &PanControls::bandwidthSlider,
                  &PanControls::bandwidthText);
    }
}

void PanadapterController::fpsChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    PanControls* controls = shownControls(pan, "fpsChanged");
    if (pan && host_.debugEnabled()) {
        log("fpsChanged:thisPanafall:[{}] fps:[{}]", pan->streamId(), pan->fps().value_or(0));
    }
    if (controls) {
        showCount(*controls, pan->fps().value_or(0), &PanControls::fpsSlider,
                  &PanControls::fpsText);
    }
}

void PanadapterController::averageChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (PanControls* controls = shownControls(pan, "averageChanged")) {
        showCount(*controls, pan->average().value_or(0), &PanControls::averageSlider,
                  &PanControls::averageText);
    }
}

void PanadapterController::wnbLevelChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    PanControls* controls = shownControls(pan, "wnbLevelChanged");
    if (pan && host_.debugEnabled()) {
        log("wnbLevelChanged:thisPanafall:[{}] wnbLevel:[{}]", pan->streamId(),
            pan->wnbLevel().value_or(0));
    }
    if (controls) {
        showCount(*controls, pan->wnbLevel().value_or(0), &PanControls::wnbLevelSlider,
                  &PanControls::wnbLevelText);
    }
}

void PanadapterController::wnbChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    PanControls* controls = shownControls(pan, "wnbChanged");
    if (pan && host_.debugEnabled()) {
        log("wnbChanged:thisPanafall:[{}] wnb:[{}]", pan->streamId(),
            int(pan->wnb().value_or(false)));
    }
    if (controls) {
        controls->wnbButton->setState(pan->wnb().value_or(false));
    }
}

void PanadapterController::preAmpListChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    PanControls* controls = shownControls(pan, "preAmpListChanged");
    if (pan && host_.debugEnabled()) {
        const TextList list = pan->preAmpList().value_or(TextList{});
        log("preAmpListChanged:thisPanafall:[{}] count:[{}] preAmpList:[{}]", pan->streamId(),
            list.size(), fmt::join(list, ","));
    }
    if (controls) {
        loadGainPopup(controls->preAmpListPopup, pan);
    }
}

void PanadapterController::rfGainChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (PanControls* controls = shownControls(pan, "rfGainChanged")) {
        selectTitle(controls->preAmpListPopup, std::to_string(pan->rfGain().value_or(0)));
    }
}

void PanadapterController::loadGainPopup(PopUpButton* popup, const std::shared_ptr<Panafall>& pan) {
    if (!popup || !pan) {
        return;
    }
    popup->clear();
    const TextList list = pan->preAmpList().value_or(TextList{});
    const lookups::GainSteps steps = lookups::panGainSteps(list);
    if (!steps.shown) {
        popup->hide();
        return;
    }
    popup->show();
    if (steps.selectGain && host_.debugEnabled()) {
        log("loadGainPopup:low:{} high:{} step:{}", list[0], list[1], list[2]);
    }
    for (const auto& item : steps.items) {
        popup->addItem(QString::fromStdString(item));
    }
    // Only the pan's own gain is shown as selected.
    popup->selectItemAtIndex(-1);
    if (steps.selectGain) {
        selectTitle(popup, std::to_string(pan->rfGain().value_or(0)));
    }
}

void PanadapterController::bandChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan || !pan->band()) {
        log("bandChanged:Error");
        return;
    }
    const std::string band = *pan->band();
    if (host_.debugEnabled()) {
        log("bandChanged:[{}]", band);
    }
    if (pan != panafall) {
        return;
    }
    host_.setPanadapterTabLabel(
        pan_, !band.empty() && band.front() == 'X' ? host_.xvtrNameForXKey(band) : band + " M");
}

void PanadapterController::daxIqChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan) {
        log("daxIqChanged:Error");
        return;
    }
    const int channel = pan->daxIQ().value_or(0);
    if (host_.debugEnabled()) {
        log("daxIqChanged:[{}]", channel);
    }
    if (pan == panafall) {
        selectTitle(panSettings->daxIqPopup, channel == 0 ? "None" : std::to_string(channel));
    }
}

// --- Values only written to the debug log

void PanadapterController::wnbUpdatingChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan) {
        log("wnbUpdatingChanged:Error");
    } else if (host_.debugEnabled()) {
        log("wnbUpdatingChanged:thisPanafall:[{}] wnbUpdating:[{}]", pan->streamId(),
            int(pan->wnbUpdating().value_or(false)));
    }
}

void PanadapterController::waterfallChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan) {
        log("waterfallChanged:Error");
    } else if (host_.debugEnabled()) {
        const auto waterfall = pan->waterfall();
        log("waterfallChanged:waterfall.streamId:[{}]", waterfall ? waterfall->streamId() : "");
    }
}

void PanadapterController::panDimensionsChanged(const std::shared_ptr<Panafall>& pan,
                                                const Change*) {
    if (!pan) {
        log("panDimensionsChanged:Error");
    } else if (host_.debugEnabled()) {
        const PanSize size = pan->panDimensions();
        log("panDimensionsChanged:width:[{}] height:[{}]", size.width, size.height);
    }
}

void PanadapterController::droppedFramesChanged(const std::shared_ptr<Panafall>& pan,
                                                const Change*) {
    if (!pan) {
        log("droppedFramesChanged:Error");
    } else if (host_.debugEnabled()) {
        log("droppedFramesChanged:[{}]", pan->droppedFrames());
    }
}

}  // namespace vm
