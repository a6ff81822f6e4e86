// The main window's mode, frequency and split actions.
#include "app/panels/TuningController.h"

#include "app/control/SliceLookups.h"
#include "app/memory/BandStacks.h"
#include "app/panels/TuningHost.h"
#include "app/panels/TypedFrequency.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/SplitWindow.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "util/StringAdditions.h"

#include <fmt/format.h>

#include <QApplication>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <utility>

namespace vm {

namespace {

// The split of the pop-up's items 1 to 6, kHz.
constexpr std::array<double, 6> kSplits{1, 2, 3, 5, 10, 15};

template <class Control, class Signal>
void connectAction(const std::shared_ptr<TuningController>& room, Control* control, Signal signal,
                   void (TuningController::*action)()) {
    QObject::connect(control, signal, control,
                     [weak = std::weak_ptr<TuningController>(room), action] {
                         if (const auto self = weak.lock()) {
                             ((*self).*action)();
                         }
                     });
}

}  // namespace

std::shared_ptr<TuningController> TuningController::create(MainControlsBar& controls,
                                                           std::weak_ptr<TuningHost> host,
                                                           SplitWindow* splitWindow,
                                                           HudWindow* hud) {
    auto room =
        std::make_shared<TuningController>(Private{}, controls, std::move(host), splitWindow, hud);
    room->connectActions();
    room->connectWindows();
    return room;
}

TuningController::TuningController(Private, MainControlsBar& controls,
                                   std::weak_ptr<TuningHost> host, SplitWindow* splitWindow,
                                   HudWindow* hud)
    : controls_(controls), splitWindow_(splitWindow), hud_(hud), host_(std::move(host)) {}

void TuningController::connectActions() {
    using C = TuningController;
    const auto self = shared_from_this();
    connectAction(self, controls_.vfo_mode, &PopUpButton::action, &C::modeChanged);
    connectAction(self, controls_.vfo_mhz, &TextField::beginEditing, &C::frequencyEditingBegan);
    connectAction(self, controls_.vfo_mhz, &TextField::endEditing, &C::frequencyEditingEnded);
    connectAction(self, controls_.split_popup, &PopUpButton::action, &C::splitPopupChanged);
    connectAction(self, controls_.vfo_number, &PopUpButton::action, &C::vfoNumberChanged);
    // The last item offers another split, whatever offset it shows.
    QObject::connect(controls_.split_popup, &PopUpButton::willPopUp, controls_.split_popup,
                     [popup = controls_.split_popup] {
                         popup->setItemText(int(kSplits.size()) + 1, QStringLiteral("Other"));
                     });
    connectAction(self, controls_.vfoSteppir, &Stepper::action, &C::vfoSteppirChanged);
    connectAction(self, controls_.vfoAltSteppir, &Stepper::action, &C::vfoAltSteppirChanged);
    connectAction(self, controls_.panBandwidthStepper, &Stepper::action,
                  &C::panBandwidthStepperPressed);
    connectAction(self, controls_.volumeStepper, &Stepper::action, &C::volumeStepperChanged);
    for (std::size_t i = 0; i < MainControlsBar::kBands.size(); ++i) {
        QPushButton* button = controls_.bandButtons[i];
        QObject::connect(button, &QPushButton::clicked, button,
                         [weak = weak_from_this(), band = std::string(MainControlsBar::kBands[i])] {
                             const auto room = weak.lock();
                             if (!room) {
                                 return;
                             }
                             // A click checks or clears the button: the band in use decides.
                             room->adjustBandButtons(room->litBand_);
                             const auto keys = QApplication::keyboardModifiers();
                             if (keys & Qt::ControlModifier) {
                                 room->bandButtonEdit(band);
                             } else {
                                 room->bandButtonPressed(band, keys & Qt::AltModifier);
                             }
                         });
    }
}

void TuningController::connectWindows() {
    using C = TuningController;
    const auto self = shared_from_this();
    if (splitWindow_) {
        connectAction(self, splitWindow_->okButton, &QPushButton::clicked, &C::splitkHzOK);
        connectAction(self, splitWindow_->cancelButton, &QPushButton::clicked, &C::splitkHzCancel);
    }
    if (hud_) {
        connectAction(self, hud_->hudRitButton, &ImageButton::action, &C::hudRitButtonChanged);
        connectAction(self, hud_->hudXitButton, &ImageButton::action, &C::hudXitButtonChanged);
    }
}

void TuningController::modeChanged() {
    const auto host = host_.lock();
    const auto active = host ? host->activeVFO() : nullptr;
    const std::string mode = controls_.vfo_mode->title();
    if (active && !mode.empty()) {
        active->setSliceMode(mode);
    }
}

void TuningController::frequencyEditingBegan() { mhzInput_ = true; }

void TuningController::frequencyEditingEnded() {
    mhzInput_ = false;
    const auto host = host_.lock();
    if (const auto active = host ? host->activeVFO() : nullptr) {
        tuneToTypedFrequency(*active, *controls_.vfo_mhz);
    }
}

void TuningController::splitPopupChanged() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    host->needDoroVFO(1);
    const int index = controls_.split_popup->indexOfSelectedItem();
    if (index == 0) {
        setSplit(0);
    } else if (index >= 1 && index <= int(kSplits.size())) {
        setSplit(kSplits[std::size_t(index - 1)]);
    } else if (splitWindow_) {
        splitWindow_->makeKeyAndOrderFront();
    }
}

void TuningController::splitkHzOK() {
    if (!splitWindow_) {
        return;
    }
    splitWindow_->hide();
    const double kilohertz = splitWindow_->splitkHzTextField->doubleValue();
    // What cannot be read as kHz splits nothing.
    if (std::isfinite(kilohertz)) {
        setSplit(kilohertz);
    }
}

void TuningController::splitkHzCancel() {
    if (splitWindow_) {
        splitWindow_->hide();
    }
}

void TuningController::adjustSplitControls() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    const auto active = host->activeVFO();
    const auto alternate = host->alternateVFO();
    PopUpButton& popup = *controls_.split_popup;
    constexpr int kOther = int(kSplits.size()) + 1;
    QString otherTitle = QStringLiteral("Other");
    int selected = 0;
    if (alternate && alternate->sliceTxEnabled().value_or(false)) {
        const double activeMhz = active ? lookups::sliceMegahertz(*active) : 0.0;
        // To the hertz: the difference of two frequencies in MHz is never exactly 1 kHz.
        const double split =
            std::round((lookups::sliceMegahertz(*alternate) - activeMhz) * 1e6) / 1000.0;
        const auto fixed = std::find(kSplits.begin(), kSplits.end(), split);
        if (fixed != kSplits.end()) {
            selected = int(fixed - kSplits.begin()) + 1;
        } else {
            selected = kOther;
            if (std::abs(split) < 1000.0) {
                otherTitle = QString::fromStdString(fmt::format("{:g} kHz", split));
            }
        }
    }
    popup.setItemText(kOther, otherTitle);
    popup.selectItemAtIndex(selected);
}

void TuningController::setSplit(double kilohertz) {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    host->needDoroVFO(1);
    const auto a = host->activeVFO();
    const auto b = host->alternateVFO();
    if (!a || !b) {
        return;
    }
    b->setSliceFrequency(fmt::format("{:g}", lookups::sliceMegahertz(*a) + kilohertz / 1000.0));
    // Transmit is taken from one slice before the other gets it.
    if (kilohertz != 0) {
        a->setSliceTxEnabled(false);
        b->setSliceTxEnabled(true);
    } else {
        b->setSliceTxEnabled(false);
        a->setSliceTxEnabled(true);
    }
}

void TuningController::bandButtonPressed(const std::string& band, bool centreOnly) {
    log("bandButtonPressed:[{}]", band);
    const auto host = host_.lock();
    const auto active = host ? host->activeVFO() : nullptr;
    if (!active) {
        return;
    }
    if (active->sliceLocked().value_or(false)) {
        log("bandButtonPressed:VFO is frequency locked.");
        host->notifyUser("Slice locked", fmt::format("Active slice {} is locked",
                                                     active->sliceTitle().value_or("")));
        return;
    }
    // The stacks are kept by band name in metres ("20M").
    const StackEntry entry = host->bandStackStore().getNextBandStackEntryforBand(band + "M");
    if (!entry) {
        log("bandButtonPressed:no stack entry for:[{}]", band);
        return;
    }
    log("bandButtonPressed:{} {}", entry->megahertz, entry->mode);
    const double megahertz = strings::doubleValue(entry->megahertz);
    const std::shared_ptr<Panafall> pan = host->panUnderHud();
    if (pan) {
        pan->setCenter(static_cast<float>(megahertz));
    }
    if (centreOnly) {
        return;
    }
    active->setSliceMode(entry->mode);
    active->setSliceFrequency(entry->megahertz, 0);
    if (pan) {
        DispatchQueue::main()->after(
            std::chrono::milliseconds(500),
            [weakHost = host_, weakPan = std::weak_ptr<Panafall>(pan), megahertz] {
                const auto later = weakHost.lock();
                if (const auto stillPan = weakPan.lock(); later && stillPan) {
                    stillPan->setBand(later->panBandForFrequency(megahertz));
                }
            });
    }
}

}  // namespace vm
