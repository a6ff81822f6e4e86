// The panadapter observers: each of the four pans' display controls, its tab label and its gain
// pop-up follow the panafall shown in that pan. A panafall shown in none of the four changes
// nothing. Nothing here sends to the radio.
#include "app/shell/AppDelegate.h"

#include "app/control/PanGainSteps.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanSettingsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "radio/Xvtr.h"

#include <fmt/format.h>

#include <QTabWidget>

namespace vm {

namespace {

template <class T>
using PanValue = Observed<T> Panafall::*;

std::string streamIdOf(const std::shared_ptr<Panafall>& pan) { return pan->streamId(); }

}  // namespace

const std::vector<std::pair<std::string, AppDelegate::PanHandler>>&
AppDelegate::panafallKeyTable() {
    static const std::vector<std::pair<std::string, PanHandler>> kTable = {
        {"waterfall", &AppDelegate::waterfallChanged},
        {"center", &AppDelegate::centerChanged},
        {"bandwidth", &AppDelegate::bandwidthChanged},
        {"panDimensions", &AppDelegate::panDimensionsChanged},
        {"minDbm", &AppDelegate::minDbmChanged},
        {"maxDbm", &AppDelegate::maxDbmChanged},
        {"average", &AppDelegate::averageChanged},
        {"fps", &AppDelegate::fpsChanged},
        {"preAmpList", &AppDelegate::preAmpListChanged},
        {"rfGain", &AppDelegate::rfGainChanged},
        {"band", &AppDelegate::bandChanged},
        {"wnb", &AppDelegate::wnbChanged},
        {"wnbLevel", &AppDelegate::wnbLevelChanged},
        {"droppedFrames", &AppDelegate::droppedFramesChanged},
        {"wnbUpdating", &AppDelegate::wnbUpdatingChanged},
        {"daxIQ", &AppDelegate::daxIqChanged},
    };
    return kTable;
}

// The controls of the pan that shows the panafall; none (and no error) for a pan not shown.
PanControls* AppDelegate::shownPanControls(const std::shared_ptr<Panafall>& pan,
                                           const char* handler) {
    if (!pan) {
        log("{}:Error", handler);
        return nullptr;
    }
    const std::optional<int> index = shownPanIndex(pan);
    return index ? panControls[std::size_t(*index)] : nullptr;
}

void AppDelegate::centerChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    PanControls* controls = shownPanControls(pan, "centerChanged");
    if (pan && debugEnabled()) {
        log("thisPanafall:{} centerChanged:[{}]", pan->band().value_or(""),
            pan->center().value_or(0));
    }
    if (controls) {
        controls->bandText->setStringValue(fmt::format("{:0.3f}", pan->center().value_or(0)));
    }
}

// A float level shown by a slider and a text field.
void AppDelegate::showPanLevel(const std::shared_ptr<Panafall>& pan, PanValue<Float> property,
                               const char* handler, const char* format,
                               Slider* PanControls::*slider, TextField* PanControls::*text) {
    if (PanControls* controls = shownPanControls(pan, handler)) {
        const double value = ((*pan).*property)().value_or(0);
        (controls->*slider)->setDoubleValue(value);
        (controls->*text)->setStringValue(fmt::format(fmt::runtime(format), value));
    }
}

// An integer level shown by a slider and a text field.
void AppDelegate::showPanCount(const std::shared_ptr<Panafall>& pan, PanValue<Number> property,
                               const char* handler, Slider* PanControls::*slider,
                               TextField* PanControls::*text) {
    if (PanControls* controls = shownPanControls(pan, handler)) {
        const int value = ((*pan).*property)().value_or(0);
        (controls->*slider)->setIntValue(value);
        (controls->*text)->setIntValue(value);
    }
}

void AppDelegate::minDbmChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    showPanLevel(pan, &Panafall::minDbm, "minDbmChanged", "{:0.0f}", &PanControls::minDbmSlider,
                 &PanControls::minDbmText);
}
void AppDelegate::maxDbmChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    showPanLevel(pan, &Panafall::maxDbm, "maxDbmChanged", "{:0.0f}", &PanControls::maxDbmSlider,
                 &PanControls::maxDbmText);
}
void AppDelegate::bandwidthChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    showPanLevel(pan, &Panafall::bandwidth, "bandwidthChanged", "{:0.3f}",
                 &PanControls::bandwidthSlider, &PanControls::bandwidthText);
}
void AppDelegate::fpsChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (pan && debugEnabled()) {
        log("fpsChanged:thisPanafall:[{}] fps:[{}]", streamIdOf(pan), pan->fps().value_or(0));
    }
    showPanCount(pan, &Panafall::fps, "fpsChanged", &PanControls::fpsSlider, &PanControls::fpsText);
}
void AppDelegate::averageChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    showPanCount(pan, &Panafall::average, "averageChanged", &PanControls::averageSlider,
                 &PanControls::averageText);
}
void AppDelegate::wnbLevelChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (pan && debugEnabled()) {
        log("wnbLevelChanged:thisPanafall:[{}] wnbLevel:[{}]", streamIdOf(pan),
            pan->wnbLevel().value_or(0));
    }
    showPanCount(pan, &Panafall::wnbLevel, "wnbLevelChanged", &PanControls::wnbLevelSlider,
                 &PanControls::wnbLevelText);
}

void AppDelegate::wnbChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    PanControls* controls = shownPanControls(pan, "wnbChanged");
    if (pan && debugEnabled()) {
        log("wnbChanged:thisPanafall:[{}] wnb:[{}]", streamIdOf(pan),
            int(pan->wnb().value_or(false)));
    }
    if (controls) {
        controls->wnbButton->setState(pan->wnb().value_or(false));
    }
}

void AppDelegate::preAmpListChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    PanControls* controls = shownPanControls(pan, "preAmpListChanged");
    if (pan && debugEnabled()) {
        const TextList list = pan->preAmpList().value_or(TextList{});
        log("preAmpListChanged:thisPanafall:[{}] count:[{}] preAmpList:[{}]", streamIdOf(pan),
            list.size(), fmt::join(list, ","));
    }
    if (controls) {
        loadGainPopup(controls->preAmpListPopup, pan);
    }
}

void AppDelegate::rfGainChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (PanControls* controls = shownPanControls(pan, "rfGainChanged")) {
        selectGain(controls->preAmpListPopup, *pan);
    }
}

// A gain that is not among the items leaves the selection as it was.
void AppDelegate::selectGain(PopUpButton* popup, const Panafall& pan) {
    const std::string title = std::to_string(pan.rfGain().value_or(0));
    if (popup->indexOfItemWithTitle(title) >= 0) {
        popup->selectItemWithTitle(title);
    }
}

void AppDelegate::loadGainPopup(PopUpButton* popup, const std::shared_ptr<Panafall>& pan) {
    if (!popup || !pan) {
        return;
    }
    popup->clear();
    const lookups::GainSteps steps = lookups::panGainSteps(pan->preAmpList().value_or(TextList{}));
    if (!steps.shown) {
        popup->hide();
        return;
    }
    popup->show();
    const TextList list = pan->preAmpList().value_or(TextList{});
    if (steps.selectGain && debugEnabled()) {
        log("loadGainPopup:low:{} high:{} step:{}", list[0], list[1], list[2]);
    }
    for (const auto& item : steps.items) {
        popup->addItem(QString::fromStdString(item));
    }
    // Only the pan's own gain is shown as selected.
    popup->selectItemAtIndex(-1);
    if (steps.selectGain) {
        selectGain(popup, *pan);
    }
}

void AppDelegate::bandChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan || !pan->band()) {
        log("bandChanged:Error");
        return;
    }
    const std::string band = *pan->band();
    if (debugEnabled()) {
        log("bandChanged:[{}]", band);
    }
    const std::optional<int> index = shownPanIndex(pan);
    if (!index) {
        return;
    }
    const std::string label =
        !band.empty() && band.front() == 'X' ? xvtrNameForXKey(band) : band + " M";
    prefsWindow->panadapterTabView->setTabText(*index, QString::fromStdString(label));
}

std::string AppDelegate::xvtrNameForXKey(const std::string& band) const {
    if (band.size() < 2 || !openRadio) {
        return "?";
    }
    const auto xvtr = openRadio->xvtrForKey(band.substr(1));
    return xvtr && xvtr->name ? *xvtr->name : "?";
}

void AppDelegate::daxIqChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan) {
        log("daxIqChanged:Error");
        return;
    }
    const int channel = pan->daxIQ().value_or(0);
    if (debugEnabled()) {
        log("daxIqChanged:[{}]", channel);
    }
    if (const std::optional<int> index = shownPanIndex(pan)) {
        PopUpButton* popup = prefsWindow->panSettings[std::size_t(*index)]->daxIqPopup;
        const std::string title = channel == 0 ? "None" : std::to_string(channel);
        if (popup->indexOfItemWithTitle(title) >= 0) {
            popup->selectItemWithTitle(title);
        }
    }
}

// --- Values only written to the debug log

void AppDelegate::wnbUpdatingChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan) {
        log("wnbUpdatingChanged:Error");
    } else if (debugEnabled()) {
        log("wnbUpdatingChanged:thisPanafall:[{}] wnbUpdating:[{}]", streamIdOf(pan),
            int(pan->wnbUpdating().value_or(false)));
    }
}
void AppDelegate::waterfallChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan) {
        log("waterfallChanged:Error");
    } else if (debugEnabled()) {
        const auto waterfall = pan->waterfall();
        log("waterfallChanged:waterfall.streamId:[{}]", waterfall ? waterfall->streamId() : "");
    }
}
void AppDelegate::panDimensionsChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan) {
        log("panDimensionsChanged:Error");
    } else if (debugEnabled()) {
        const PanSize size = pan->panDimensions();
        log("panDimensionsChanged:width:[{}] height:[{}]", size.width, size.height);
    }
}
void AppDelegate::droppedFramesChanged(const std::shared_ptr<Panafall>& pan, const Change*) {
    if (!pan) {
        log("droppedFramesChanged:Error");
    } else if (debugEnabled()) {
        log("droppedFramesChanged:[{}]", pan->droppedFrames());
    }
}

}  // namespace vm
