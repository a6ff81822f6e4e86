// The slice panel's controller: its fixed lists and first images, the preference of its QR
// transmit box, and the binding of its slice.
#include "app/panels/SlicePanelController.h"

#include "app/windows/SlicePanel.h"
#include "app/windows/StatusImages.h"
#include "objects/Slice.h"
#include "platform/ui/ControlPrefs.h"
#include "util/VMKVOManager.h"

#include <QStringList>

namespace vm {

namespace {

// The CTCSS tones the FM tone pop-up offers, in Hz.
const QStringList kCtcssTones{
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1"};

// The preference of each panel's QR transmit box.
const char* const kQrTransmitKeys[4] = {
    "transmit_A_while_recording_playback", "transmit_B_while_recording_playback",
    "transmit_C_while_recording_playback", "transmit_D_while_recording_playback"};

void load(PopUpButton* popup, const QStringList& items) {
    popup->clear();
    popup->addItems(items);
}

}  // namespace

std::shared_ptr<SlicePanelController> SlicePanelController::create(
    int index, SlicePanel* panel, const PresetDictionary& presets,
    std::weak_ptr<SlicePanelHost> host) {
    auto controller =
        std::make_shared<SlicePanelController>(Private{}, index, panel, presets, std::move(host));
    controller->loadControls();
    controller->showInitialImages();
    controller->connectActions();
    return controller;
}

SlicePanelController::SlicePanelController(Private, int index, SlicePanel* panel,
                                           const PresetDictionary& presets,
                                           std::weak_ptr<SlicePanelHost> host)
    : index_(index),
      panel_(panel),
      presets_(presets),
      host_(std::move(host)),
      recordingStarted_(std::chrono::system_clock::now()),
      playbackStarted_(recordingStarted_),
      greyBulb_(statusImageNamed("gray_ball")),
      redBulb_(statusImageNamed("red_ball")),
      play_button_green_(statusImageNamed("play_green")),
      play_button_black_(statusImageNamed("play_black")) {}

// A binding still held elsewhere stops observing with its panel.
SlicePanelController::~SlicePanelController() { unbind(); }

void SlicePanelController::loadControls() {
    load(panel_->fmToneFreqPopup, kCtcssTones);
    load(panel_->fmToneModePopup, {"CTCSS_TX", "OFF"});
    load(panel_->repeaterOffsetDirPopup, {"DOWN", "UP", "SIMPLEX"});
    for (auto* stepper : {panel_->ritStepper, panel_->xitStepper}) {
        stepper->setMinValue(-10000);
        stepper->setMaxValue(10000);
    }
}

void SlicePanelController::showInitialImages() {
    panel_->ritButton->setImage(greyBulb_);
    panel_->xitButton->setImage(greyBulb_);
    panel_->recordButton->setImage(greyBulb_);
    panel_->playbackButton->setImage(play_button_black_);
}

void SlicePanelController::setFrequencyFormatter(const NumberFormatter& formatter) {
    panel_->freqText->setFormatter(formatter);
}

const char* SlicePanelController::qrTransmitKey() const {
    return kQrTransmitKeys[std::size_t(index_)];
}

void SlicePanelController::restorePreferences() {
    setCheckBoxWithPrefAndDefault(panel_->qrTransmitButton, qrTransmitKey(), false);
}

std::shared_ptr<Slice> SlicePanelController::panelSlice() const {
    const auto host = host_.lock();
    return host ? host->sliceWithNumber(index_) : nullptr;
}

bool SlicePanelController::debugEnabled() const {
    const auto host = host_.lock();
    return host && host->debugEnabled();
}

void SlicePanelController::bind(const std::shared_ptr<Slice>& slice) {
    if (!slice) {
        return;
    }
    // The manager it replaces stops observing now, whoever still holds it.
    unbind();
    sliceKVOManager_ = VMKVOManager::create();
    bindKeys(*sliceKVOManager_, sliceKeyTable(), slice, shared_from_this());
}

void SlicePanelController::unbind() {
    if (sliceKVOManager_) {
        sliceKVOManager_->cancelKVO();
    }
}

}  // namespace vm
