// The preferences pages of operating settings: audio, transmit, CW and the equalizers.
#include "app/windows/EqualizerPanel.h"
#include "app/windows/PreferencesWindow.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

namespace {

// A slider with its value field in one row of a grid.
void levelRow(QGridLayout* grid, QWidget* page, const QString& caption, Slider*& slider,
              const QString& sliderName, TextField*& text, const QString& textName, double minimum,
              double maximum, QWidget* extra = nullptr) {
    slider = kit::slider(page, sliderName, minimum, maximum);
    text = textField(page, textName, true);
    if (extra) {
        row(grid, caption, {slider, text, extra});
    } else {
        row(grid, caption, {slider, text});
    }
}

}  // namespace

QWidget* PreferencesWindow::buildAudioPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    auto* computer = group(grid, 0, 0, QStringLiteral("Computer audio (remote audio)"));
    remoteAudioCheckBox =
        checkBox(page, QStringLiteral("remoteAudioCheckBox"),
                 QStringLiteral("Play the radio's audio here and send this microphone"));
    row(computer, {}, {remoteAudioCheckBox});
    audioInputDevicesPopup = popUp(page, QStringLiteral("audioInputDevicesPopup"));
    audioOutputDevicesPopup = popUp(page, QStringLiteral("audioOutputDevicesPopup"));
    audioInputDevicesPopup->setMinimumWidth(220);
    audioOutputDevicesPopup->setMinimumWidth(220);
    row(computer, QStringLiteral("Input"), {audioInputDevicesPopup});
    row(computer, QStringLiteral("Output"), {audioOutputDevicesPopup});
    micLevelIndicator = levelIndicator(page, QStringLiteral("micLevelIndicator"));
    micLevelText = textField(page, QStringLiteral("micLevelText"), true);
    micPeakLevelIndicator = levelIndicator(page, QStringLiteral("micPeakLevelIndicator"));
    micPeakLevelText = textField(page, QStringLiteral("micPeakLevelText"), true);
    for (LevelIndicator* meter : {micLevelIndicator, micPeakLevelIndicator}) {
        meter->setMinValue(-60);
        meter->setMaxValue(0);
        meter->setWarningValue(-10);
        meter->setCriticalValue(-3);
        meter->setMinimumWidth(180);
    }
    row(computer, QStringLiteral("Mic level"), {micLevelIndicator, micLevelText});
    row(computer, QStringLiteral("Mic peak"), {micPeakLevelIndicator, micPeakLevelText});

    auto* radio = group(grid, 0, 1, QStringLiteral("Radio audio"));
    radioSpeakerMuteCheckBox =
        checkBox(page, QStringLiteral("radioSpeakerMuteCheckBox"), QStringLiteral("On"));
    levelRow(radio, page, QStringLiteral("Speaker"), radioSpeakerVolumeSlider,
             QStringLiteral("radioSpeakerVolumeSlider"), radioSpeakerVolumeText,
             QStringLiteral("radioSpeakerVolumeText"), 0, 100, radioSpeakerMuteCheckBox);
    radioHeadsetMuteCheckBox =
        checkBox(page, QStringLiteral("radioHeadsetMuteCheckBox"), QStringLiteral("On"));
    levelRow(radio, page, QStringLiteral("Headphones"), radioHeadsetVolumeSlider,
             QStringLiteral("radioHeadsetVolumeSlider"), radioHeadsetVolumeText,
             QStringLiteral("radioHeadsetVolumeText"), 0, 100, radioHeadsetMuteCheckBox);
    micListPopup = popUp(page, QStringLiteral("micListPopup"));
    row(radio, QStringLiteral("Microphone"), {micListPopup});
    levelRow(radio, page, QStringLiteral("Mic level"), radioMicLevelSlider,
             QStringLiteral("radioMicLevelSlider"), radioMicLevelText,
             QStringLiteral("radioMicLevelText"), 0, 100);
    radioMicBiasEnabledCheckBox =
        checkBox(page, QStringLiteral("radioMicBiasEnabledCheckBox"), QStringLiteral("Bias"));
    radioMicBoostEnabledCheckBox = checkBox(page, QStringLiteral("radioMicBoostEnabledCheckBox"),
                                            QStringLiteral("+20 dB boost"));
    row(radio, {}, {radioMicBiasEnabledCheckBox, radioMicBoostEnabledCheckBox});
    radioPhoneMonitorCheckBox =
        checkBox(page, QStringLiteral("radioPhoneMonitorCheckBox"), QStringLiteral("On"));
    levelRow(radio, page, QStringLiteral("Monitor"), radioPhoneMonitorGainSlider,
             QStringLiteral("radioPhoneMonitorGainSlider"), radioPhoneMonitorGainText,
             QStringLiteral("radioPhoneMonitorGainText"), 0, 100, radioPhoneMonitorCheckBox);

    auto* recording = group(grid, 1, 0, QStringLiteral("Voice recordings"), 1, 2);
    recorded_filesPopUp = popUp(page, QStringLiteral("recorded_filesPopUp"));
    recorded_filesPopUp->setMinimumWidth(240);
    recordStopButton = button(page, QStringLiteral("recordStopButton"), QStringLiteral("Stop"));
    fileTransmitButton =
        button(page, QStringLiteral("fileTransmitButton"), QStringLiteral("Transmit File"));
    elapsedSecondsLabel = label(page, QStringLiteral("elapsedSecondsLabel"));
    leftPowerIndicator = levelIndicator(page, QStringLiteral("leftPowerIndicator"));
    rightPowerIndicator = levelIndicator(page, QStringLiteral("rightPowerIndicator"));
    row(recording, QStringLiteral("File"),
        {recorded_filesPopUp, recordStopButton, fileTransmitButton, elapsedSecondsLabel});
    row(recording, QStringLiteral("Left"), {leftPowerIndicator});
    row(recording, QStringLiteral("Right"), {rightPowerIndicator});
    grid->setRowStretch(2, 1);
    return page;
}

QWidget* PreferencesWindow::buildTransmitPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);

    auto* power = group(grid, 0, 0, QStringLiteral("Power"));
    levelRow(power, page, QStringLiteral("RF power"), powerSlider, QStringLiteral("powerSlider"),
             powerLevelText, QStringLiteral("powerLevelText"), 0, 100);
    levelRow(power, page, QStringLiteral("Tune power"), atuPowerSlider,
             QStringLiteral("atuPowerSlider"), atuPowerLevelText,
             QStringLiteral("atuPowerLevelText"), 0, 100);
    levelRow(power, page, QStringLiteral("AM carrier"), amCarrierSlider,
             QStringLiteral("amCarrierSlider"), amCarrierLevelText,
             QStringLiteral("amCarrierLevelText"), 0, 100);
    radioMaxPowerLevelText = textField(page, QStringLiteral("radioMaxPowerLevelText"), true);
    row(power, QStringLiteral("Max power"), {radioMaxPowerLevelText});
    atuCheckBox = checkBox(page, QStringLiteral("atuCheckBox"), QStringLiteral("ATU memories"));
    txCheckBox = checkBox(page, QStringLiteral("txCheckBox"), QStringLiteral("Transmit allowed"));
    row(power, {}, {atuCheckBox, txCheckBox});

    auto* filter = group(grid, 1, 0, QStringLiteral("Transmit filter"));
    transmitFilterLoStepper =
        stepper(page, QStringLiteral("transmitFilterLoStepper"), 0, 10000, 50);
    transmitFilterLoText = textField(page, QStringLiteral("transmitFilterLoText"), true);
    transmitFilterHiStepper =
        stepper(page, QStringLiteral("transmitFilterHiStepper"), 0, 10000, 50);
    transmitFilterHiText = textField(page, QStringLiteral("transmitFilterHiText"), true);
    row(filter, QStringLiteral("Low Hz"), {transmitFilterLoStepper, transmitFilterLoText});
    row(filter, QStringLiteral("High Hz"), {transmitFilterHiStepper, transmitFilterHiText});

    auto* options = group(grid, 2, 0, QStringLiteral("Options"));
    txInWaterfallCheckBox = checkBox(page, QStringLiteral("txInWaterfallCheckBox"),
                                     QStringLiteral("Show transmit in the waterfall"));
    txDaxEnabledCheckBox =
        checkBox(page, QStringLiteral("txDaxEnabledCheckBox"), QStringLiteral("DAX transmit"));
    fullDuplexEnabledCheckBox =
        checkBox(page, QStringLiteral("fullDuplexEnabledCheckBox"), QStringLiteral("Full duplex"));
    radioBinauralRxCheckBox = checkBox(page, QStringLiteral("radioBinauralRxCheckBox"),
                                       QStringLiteral("Binaural receive"));
    for (CheckBox* box : {txInWaterfallCheckBox, txDaxEnabledCheckBox, fullDuplexEnabledCheckBox,
                          radioBinauralRxCheckBox}) {
        row(options, {}, {box});
    }

    auto* voice = group(grid, 0, 1, QStringLiteral("Voice"));
    radioVoxEnabledCheckBox =
        checkBox(page, QStringLiteral("radioVoxEnabledCheckBox"), QStringLiteral("VOX"));
    row(voice, {}, {radioVoxEnabledCheckBox});
    levelRow(voice, page, QStringLiteral("VOX level"), radioVoxLevelSlider,
             QStringLiteral("radioVoxLevelSlider"), radioVoxLevelText,
             QStringLiteral("radioVoxLevelText"), 0, 100);
    levelRow(voice, page, QStringLiteral("VOX delay"), radioVoxDelaySlider,
             QStringLiteral("radioVoxDelaySlider"), radioVoxDelayText,
             QStringLiteral("radioVoxDelayText"), 0, 100);
    radioSpeechProcCheckBox =
        checkBox(page, QStringLiteral("radioSpeechProcCheckBox"), QStringLiteral("Processor"));
    radioSpeechProcPopup =
        popUp(page, QStringLiteral("radioSpeechProcPopup"), {"NOR", "DX", "DX+"});
    row(voice, {}, {radioSpeechProcCheckBox, radioSpeechProcPopup});
    radioCompanderEnabledCheckBox =
        checkBox(page, QStringLiteral("radioCompanderEnabledCheckBox"), QStringLiteral("On"));
    levelRow(voice, page, QStringLiteral("Compander"), radioCompanderLevelSlider,
             QStringLiteral("radioCompanderLevelSlider"), radioCompanderLevelText,
             QStringLiteral("radioCompanderLevelText"), 0, 100, radioCompanderEnabledCheckBox);

    auto* interlock = group(grid, 1, 1, QStringLiteral("Interlock"), 2);
    radioTxDelayText = textField(page, QStringLiteral("radioTxDelayText"));
    radioTxDelayText->setMaximumWidth(80);
    row(interlock, QStringLiteral("TX delay ms"), {radioTxDelayText});
    radioAccTxDelayCheckBox =
        checkBox(page, QStringLiteral("radioAccTxDelayCheckBox"), QStringLiteral("ACC TX"));
    radioAccTxDelayText = textField(page, QStringLiteral("radioAccTxDelayText"));
    radioAccTxDelayText->setMaximumWidth(80);
    row(interlock, {}, {radioAccTxDelayCheckBox, radioAccTxDelayText});
    for (int i = 0; i < 3; ++i) {
        txEnabledCheckBoxes[i] =
            checkBox(page, QStringLiteral("radioTx%1EnabledCheckBox").arg(i + 1),
                     QStringLiteral("TX%1").arg(i + 1));
        txDelayTexts[i] = textField(page, QStringLiteral("radioTx%1DelayText").arg(i + 1));
        txDelayTexts[i]->setMaximumWidth(80);
        row(interlock, {}, {txEnabledCheckBoxes[i], txDelayTexts[i]});
    }
    pttSourceTitle = label(page, QStringLiteral("pttSourceTitle"), QStringLiteral("PTT source"));
    pttSourceText = label(page, QStringLiteral("pttSourceText"));
    pttSourceTitle->hide();
    interlock->addWidget(pttSourceTitle, interlock->rowCount(), 0);
    interlock->addWidget(pttSourceText, interlock->rowCount() - 1, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* PreferencesWindow::buildCwPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* keyer = group(grid, 0, 0, QStringLiteral("Keyer"));
    levelRow(keyer, page, QStringLiteral("Speed WPM"), radioCwSpeedSlider,
             QStringLiteral("radioCwSpeedSlider"), radioCwSpeedText,
             QStringLiteral("radioCwSpeedText"), 5, 100);
    levelRow(keyer, page, QStringLiteral("Pitch Hz"), radioCwPitchSlider,
             QStringLiteral("radioCwPitchSlider"), radioCwPitchText,
             QStringLiteral("radioCwPitchText"), 100, 6000);
    radioCwIambicEnabledCheckBox =
        checkBox(page, QStringLiteral("radioCwIambicEnabledCheckBox"), QStringLiteral("Iambic"));
    radioCwIambicModePopup = popUp(page, QStringLiteral("radioCwIambicModePopup"), {"A", "B"});
    row(keyer, {}, {radioCwIambicEnabledCheckBox, radioCwIambicModePopup});
    radioCwSwapPaddlesCheckBox = checkBox(page, QStringLiteral("radioCwSwapPaddlesCheckBox"),
                                          QStringLiteral("Swap paddles"));
    radioSyncCWXCheckBox =
        checkBox(page, QStringLiteral("radioSyncCWXCheckBox"), QStringLiteral("Sync CWX speed"));
    row(keyer, {}, {radioCwSwapPaddlesCheckBox, radioSyncCWXCheckBox});

    auto* breakIn = group(grid, 0, 1, QStringLiteral("Break-in and side tone"));
    radioCwBreakInCheckBox =
        checkBox(page, QStringLiteral("radioCwBreakInCheckBox"), QStringLiteral("Break-in"));
    row(breakIn, {}, {radioCwBreakInCheckBox});
    levelRow(breakIn, page, QStringLiteral("Delay ms"), radioCwBreakInDelaySlider,
             QStringLiteral("radioCwBreakInDelaySlider"), radioCwBreakInDelayText,
             QStringLiteral("radioCwBreakInDelayText"), 0, 2000);
    radioCwSideToneEnabledCheckBox = checkBox(
        page, QStringLiteral("radioCwSideToneEnabledCheckBox"), QStringLiteral("Side tone"));
    row(breakIn, {}, {radioCwSideToneEnabledCheckBox});
    levelRow(breakIn, page, QStringLiteral("Side tone level"), radioCwSideToneGainSlider,
             QStringLiteral("radioCwSideToneGainSlider"), radioCwSideToneGainText,
             QStringLiteral("radioCwSideToneGainText"), 0, 100);
    radioCwSideTonePanSlider = slider(page, QStringLiteral("radioCwSideTonePanSlider"), 0, 100);
    row(breakIn, QStringLiteral("Side tone L/R"), {radioCwSideTonePanSlider});
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget* PreferencesWindow::buildEqualizerPage() {
    auto* page = new QWidget;
    auto* layout = new QHBoxLayout(page);
    rxEqualizer =
        new EqualizerPanel(QStringLiteral("rx"), QStringLiteral("Receive equalizer"), page);
    txEqualizer =
        new EqualizerPanel(QStringLiteral("tx"), QStringLiteral("Transmit equalizer"), page);
    layout->addWidget(rxEqualizer);
    layout->addSpacing(24);
    layout->addWidget(txEqualizer);
    layout->addStretch(1);
    return page;
}

}  // namespace vm
