#include "app/windows/TransmitPrefsPage.h"

#include "app/windows/WidgetKit.h"

namespace vm {

using namespace kit;

TransmitPrefsPage::TransmitPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* grid = new QGridLayout(this);

    auto* power = group(grid, 0, 0, QStringLiteral("Power"));
    levelRow(power, this, QStringLiteral("RF power"), powerSlider, QStringLiteral("powerSlider"),
             powerLevelText, QStringLiteral("powerLevelText"), 0, 100);
    levelRow(power, this, QStringLiteral("Tune power"), atuPowerSlider,
             QStringLiteral("atuPowerSlider"), atuPowerLevelText,
             QStringLiteral("atuPowerLevelText"), 0, 100);
    levelRow(power, this, QStringLiteral("AM carrier"), amCarrierSlider,
             QStringLiteral("amCarrierSlider"), amCarrierLevelText,
             QStringLiteral("amCarrierLevelText"), 0, 100);
    radioMaxPowerLevelText = textField(this, QStringLiteral("radioMaxPowerLevelText"), true);
    row(power, QStringLiteral("Max power"), {radioMaxPowerLevelText});
    atuCheckBox = checkBox(this, QStringLiteral("atuCheckBox"), QStringLiteral("ATU memories"));
    txCheckBox = checkBox(this, QStringLiteral("txCheckBox"), QStringLiteral("Transmit allowed"));
    row(power, {}, {atuCheckBox, txCheckBox});

    auto* filter = group(grid, 1, 0, QStringLiteral("Transmit filter"));
    transmitFilterLoStepper =
        stepper(this, QStringLiteral("transmitFilterLoStepper"), 0, 10000, 50);
    transmitFilterLoText = textField(this, QStringLiteral("transmitFilterLoText"), true);
    transmitFilterHiStepper =
        stepper(this, QStringLiteral("transmitFilterHiStepper"), 0, 10000, 50);
    transmitFilterHiText = textField(this, QStringLiteral("transmitFilterHiText"), true);
    row(filter, QStringLiteral("Low Hz"), {transmitFilterLoStepper, transmitFilterLoText});
    row(filter, QStringLiteral("High Hz"), {transmitFilterHiStepper, transmitFilterHiText});

    auto* options = group(grid, 2, 0, QStringLiteral("Options"));
    txInWaterfallCheckBox = checkBox(this, QStringLiteral("txInWaterfallCheckBox"),
                                     QStringLiteral("Show transmit in the waterfall"));
    txDaxEnabledCheckBox =
        checkBox(this, QStringLiteral("txDaxEnabledCheckBox"), QStringLiteral("DAX transmit"));
    fullDuplexEnabledCheckBox =
        checkBox(this, QStringLiteral("fullDuplexEnabledCheckBox"), QStringLiteral("Full duplex"));
    radioBinauralRxCheckBox = checkBox(this, QStringLiteral("radioBinauralRxCheckBox"),
                                       QStringLiteral("Binaural receive"));
    for (CheckBox* box : {txInWaterfallCheckBox, txDaxEnabledCheckBox, fullDuplexEnabledCheckBox,
                          radioBinauralRxCheckBox}) {
        row(options, {}, {box});
    }

    auto* voice = group(grid, 0, 1, QStringLiteral("Voice"));
    radioVoxEnabledCheckBox =
        checkBox(this, QStringLiteral("radioVoxEnabledCheckBox"), QStringLiteral("VOX"));
    row(voice, {}, {radioVoxEnabledCheckBox});
    levelRow(voice, this, QStringLiteral("VOX level"), radioVoxLevelSlider,
             QStringLiteral("radioVoxLevelSlider"), radioVoxLevelText,
             QStringLiteral("radioVoxLevelText"), 0, 100);
    levelRow(voice, this, QStringLiteral("VOX delay"), radioVoxDelaySlider,
             QStringLiteral("radioVoxDelaySlider"), radioVoxDelayText,
             QStringLiteral("radioVoxDelayText"), 0, 100);
    radioSpeechProcCheckBox =
        checkBox(this, QStringLiteral("radioSpeechProcCheckBox"), QStringLiteral("Processor"));
    radioSpeechProcPopup =
        popUp(this, QStringLiteral("radioSpeechProcPopup"), {"NOR", "DX", "DX+"});
    row(voice, {}, {radioSpeechProcCheckBox, radioSpeechProcPopup});
    radioCompanderEnabledCheckBox =
        checkBox(this, QStringLiteral("radioCompanderEnabledCheckBox"), QStringLiteral("On"));
    levelRow(voice, this, QStringLiteral("Compander"), radioCompanderLevelSlider,
             QStringLiteral("radioCompanderLevelSlider"), radioCompanderLevelText,
             QStringLiteral("radioCompanderLevelText"), 0, 100, radioCompanderEnabledCheckBox);

    auto* interlock = group(grid, 1, 1, QStringLiteral("Interlock"), 2);
    radioTxDelayText = textField(this, QStringLiteral("radioTxDelayText"));
    radioTxDelayText->setMaximumWidth(80);
    row(interlock, QStringLiteral("TX delay ms"), {radioTxDelayText});
    radioAccTxDelayCheckBox =
        checkBox(this, QStringLiteral("radioAccTxDelayCheckBox"), QStringLiteral("ACC TX"));
    radioAccTxDelayText = textField(this, QStringLiteral("radioAccTxDelayText"));
    radioAccTxDelayText->setMaximumWidth(80);
    row(interlock, {}, {radioAccTxDelayCheckBox, radioAccTxDelayText});
    for (int i = 0; i < 3; ++i) {
        txEnabledCheckBoxes[i] =
            checkBox(this, QStringLiteral("radioTx%1EnabledCheckBox").arg(i + 1),
                     QStringLiteral("TX%1").arg(i + 1));
        txDelayTexts[i] = textField(this, QStringLiteral("radioTx%1DelayText").arg(i + 1));
        txDelayTexts[i]->setMaximumWidth(80);
        row(interlock, {}, {txEnabledCheckBoxes[i], txDelayTexts[i]});
    }
    pttSourceTitle = label(this, QStringLiteral("pttSourceTitle"), QStringLiteral("PTT source"));
    pttSourceText = label(this, QStringLiteral("pttSourceText"));
    pttSourceTitle->hide();
    interlock->addWidget(pttSourceTitle, interlock->rowCount(), 0);
    interlock->addWidget(pttSourceText, interlock->rowCount() - 1, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

}  // namespace vm
