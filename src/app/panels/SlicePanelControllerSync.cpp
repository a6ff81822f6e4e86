// Which of the slice panel's controls are offered for its slice and mode, and its antennas.
#include "app/panels/SlicePanelController.h"

#include "app/windows/SlicePanel.h"
#include "objects/Slice.h"

#include <QStringList>

namespace vm {

namespace {

// The antenna names of a list; the radio reports "no antennas" as one empty name.
TextList names(const List& list) {
    TextList kept;
    for (const auto& name : list.value_or(TextList{})) {
        if (!name.empty()) {
            kept.push_back(name);
        }
    }
    return kept;
}

QStringList titles(const TextList& names) {
    QStringList list;
    for (const auto& name : names) {
        list << QString::fromStdString(name);
    }
    return list;
}

}  // namespace

void SlicePanelController::adjustSliceControls() {
    const bool exists = panelSlice() != nullptr;
    SlicePanel& p = *panel_;
    for (QWidget* control : std::initializer_list<QWidget*>{p.volumeSlider,
                                                            p.muteCheckBox,
                                                            p.nrSlider,
                                                            p.nrCheckBox,
                                                            p.nbSlider,
                                                            p.nbCheckBox,
                                                            p.squelchSlider,
                                                            p.squelchCheckBox,
                                                            p.anfSlider,
                                                            p.anfCheckBox,
                                                            p.apfSlider,
                                                            p.apfCheckBox,
                                                            p.agcModePopup,
                                                            p.wideCheckBox,
                                                            p.filterLoStepper,
                                                            p.filterHiStepper,
                                                            p.rxAntPopup,
                                                            p.txAntPopup,
                                                            p.agctSlider,
                                                            p.panSlider,
                                                            p.filterPresetPopup,
                                                            p.qrLengthText,
                                                            p.qrTransmitButton,
                                                            p.ritButton,
                                                            p.ritStepper,
                                                            p.xitButton,
                                                            p.xitStepper,
                                                            p.lockedCheckBox,
                                                            p.daxPopup,
                                                            p.fmToneModePopup,
                                                            p.fmToneFreqPopup,
                                                            p.fmRepeaterOffsetText,
                                                            p.repeaterOffsetDirPopup,
                                                            p.fmToneBurstCheckBox,
                                                            p.recordButton,
                                                            p.playbackButton}) {
        control->setEnabled(exists);
    }
    // The FM and peak filter controls stay as the mode allows.
    adjustModeControls();
}

void SlicePanelController::adjustModeControls() {
    const auto slice = panelSlice();
    const std::string mode = slice ? slice->sliceMode().value_or("") : "";
    // "FM", "NFM" and "DFM" are FM; "CW" and "CWL" are CW.
    const bool fm = slice && mode.find("FM") != std::string::npos;
    const bool cw = slice && mode.find("CW") != std::string::npos;
    SlicePanel& p = *panel_;
    for (QWidget* control : std::initializer_list<QWidget*>{
             p.squelchCheckBox, p.squelchSlider, p.fmToneModePopup, p.fmToneFreqPopup,
             p.fmRepeaterOffsetText, p.repeaterOffsetDirPopup, p.fmToneBurstCheckBox}) {
        control->setEnabled(fm);
    }
    p.apfSlider->setEnabled(cw);
    p.apfCheckBox->setEnabled(cw);
}

void SlicePanelController::loadAntennas(const std::shared_ptr<Slice>& slice) {
    if (!slice) {
        return;
    }
    const TextList receive = names(slice->antList());
    const TextList transmit = names(slice->txAntList());
    for (auto [popup, names] :
         {std::pair{panel_->rxAntPopup, &receive},
          std::pair{panel_->txAntPopup, transmit.empty() ? &receive : &transmit}}) {
        const QSignalBlocker quiet(popup);
        popup->clear();
        popup->addItems(titles(*names));
    }
}

}  // namespace vm
