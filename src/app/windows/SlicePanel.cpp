#include "app/windows/SlicePanel.h"

#include <QFontMetrics>
#include <QGridLayout>

namespace vm {

using namespace kit;

SlicePanel::SlicePanel(char letter, QWidget* parent) : QWidget(parent), letter_(letter) {
    setObjectName(outletName("slicePanel%c", letter));
    auto name = [letter](const char* pattern) { return outletName(pattern, letter); };
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);

    // Column 0: frequency, audio, AGC.
    auto* tuning = group(grid, 0, 0, QStringLiteral("Frequency"));
    freqText = textField(this, name("slice%cFreqText"));
    freqText->setMinimumWidth(130);
    QFont large = freqText->font();
    large.setPointSizeF(large.pointSizeF() * 1.3);
    large.setBold(true);
    freqText->setFont(large);
    lockedCheckBox = checkBox(this, name("sliceLocked%cCheckBox"), QStringLiteral("Locked"));
    row(tuning, QStringLiteral("MHz"), {freqText, lockedCheckBox});
    detachedText = label(this, name("slice%cDetachedText"));
    row(tuning, QStringLiteral("Panadapter"), {detachedText});

    auto* audio = group(grid, 1, 0, QStringLiteral("Audio"));
    volumeSlider = slider(this, name("volume%cSlider"), 0, 100);
    volumeText = textField(this, name("volume%cText"), true);
    // Ticked while the slice's audio is on.
    muteCheckBox = checkBox(this, name("slice%cMuteCheckBox"), QStringLiteral("Audio on"));
    row(audio, QStringLiteral("Volume"), {volumeSlider, volumeText, muteCheckBox});
    panSlider = slider(this, name("pan%cSlider"), 0, 100);
    row(audio, QStringLiteral("Pan L/R"), {panSlider});

    auto* agc = group(grid, 2, 0, QStringLiteral("AGC"));
    agcModePopup = popUp(this, name("agcMode%cpopup"), {"OFF", "SLOW", "MED", "FAST"});
    wideCheckBox = checkBox(this, name("wide%cCheckBox"), QStringLiteral("Wide"));
    row(agc, QStringLiteral("Mode"), {agcModePopup, wideCheckBox});
    agctSlider = slider(this, name("agct%cSlider"), 0, 100);
    agctText = textField(this, name("agct%cText"), true);
    row(agc, QStringLiteral("AGC-T"), {agctSlider, agctText});

    auto* recorder = group(grid, 3, 0, QStringLiteral("Quick record"));
    recordButton = imageButton(this, name("recordEnabled%cButton"));
    playbackButton = imageButton(this, name("playbackEnabled%cButton"));
    recordButton->setFixedSize(22, 22);
    recordButton->setCheckable(true);  // on while the slice records
    playbackButton->setFixedSize(22, 22);
    qrLengthText = textField(this, name("qrLengthText%c"), true);
    qrTransmitButton = checkBox(this, name("qrTransmit%cButton"), QStringLiteral("Transmit"));
    row(recorder, QStringLiteral("Record"),
        {recordButton, new QLabel(QStringLiteral("Play")), playbackButton, qrLengthText,
         qrTransmitButton});

    // Column 1: noise reduction and filter.
    auto* dsp = group(grid, 0, 1, QStringLiteral("Noise and notch"), 2);
    auto dspRow = [&](const char* title, const char* sliderName, const char* textName,
                      const char* boxName, Slider*& s, TextField*& t, CheckBox*& c) {
        c = checkBox(this, name(boxName), QString::fromLatin1(title));
        s = slider(this, name(sliderName), 0, 100);
        t = textField(this, name(textName), true);
        row(dsp, {}, {c, s, t});
    };
    dspRow("NR", "nr%cSlider", "nr%cText", "nr%cCheckBox", nrSlider, nrText, nrCheckBox);
    dspRow("NB", "nb%cSlider", "nb%cText", "nb%cCheckBox", nbSlider, nbText, nbCheckBox);
    dspRow("ANF", "anf%cSlider", "anf%cText", "anf%cCheckBox", anfSlider, anfText, anfCheckBox);
    dspRow("APF", "apf%cSlider", "apf%cText", "apf%cCheckBox", apfSlider, apfText, apfCheckBox);
    dspRow("SQL", "squelch%cSlider", "squelch%cText", "squelch%cCheckBox", squelchSlider,
           squelchText, squelchCheckBox);

    auto* filter = group(grid, 2, 1, QStringLiteral("Receive filter"), 2);
    filterPresetPopup = popUp(this, name("filterPreset%cpopup"));
    filterPresetPopup->setMinimumWidth(90);
    filterText = textField(this, name("filterText%c"), true);
    row(filter, QStringLiteral("Preset"), {filterPresetPopup, filterText});
    filterLoStepper = stepper(this, name("sliceFilterLo%cStepper"), -12000, 12000, 50);
    filterLoText = textField(this, name("filterLoText%c"), true);
    row(filter, QStringLiteral("Low Hz"), {filterLoStepper, filterLoText});
    filterHiStepper = stepper(this, name("sliceFilterHi%cStepper"), -12000, 12000, 50);
    filterHiText = textField(this, name("filterHiText%c"), true);
    row(filter, QStringLiteral("High Hz"), {filterHiStepper, filterHiText});

    // Column 2: antennas, RIT/XIT, DAX, FM.
    auto* antennas = group(grid, 0, 2, QStringLiteral("Antennas and DAX"));
    rxAntPopup = popUp(this, name("rxAnt%cpopup"));
    txAntPopup = popUp(this, name("txAnt%cpopup"));
    row(antennas, QStringLiteral("RX"), {rxAntPopup});
    row(antennas, QStringLiteral("TX"), {txAntPopup});
    daxPopup = popUp(this, name("dax%cpopup"), {"None", "1", "2", "3", "4", "5", "6", "7", "8"});
    daxClientsText = textField(this, name("daxClients%cText"), true);
    row(antennas, QStringLiteral("DAX"), {daxPopup, daxClientsText});

    auto* offsets = group(grid, 1, 2, QStringLiteral("RIT and XIT"));
    ritButton = imageButton(this, name("sliceRIT%cButton"));
    ritStepper = stepper(this, name("sliceRIT%cStepper"), -10000, 10000, 10);
    ritText = textField(this, name("sliceRIT%cText"), true);
    row(offsets, QStringLiteral("RIT Hz"), {ritButton, ritStepper, ritText});
    xitButton = imageButton(this, name("sliceXIT%cButton"));
    xitStepper = stepper(this, name("sliceXIT%cStepper"), -10000, 10000, 10);
    xitText = textField(this, name("sliceXIT%cText"), true);
    row(offsets, QStringLiteral("XIT Hz"), {xitButton, xitStepper, xitText});
    for (ImageButton* lamp : {ritButton, xitButton}) {
        lamp->setCheckable(true);
        lamp->setFixedSize(22, 22);
    }

    auto* fm = group(grid, 2, 2, QStringLiteral("FM"), 2);
    fmToneModePopup = popUp(this, name("fmToneMode%cpopup"));
    fmToneFreqPopup = popUp(this, name("fmToneFreq%cpopup"));
    row(fm, QStringLiteral("Tone"), {fmToneModePopup, fmToneFreqPopup});
    fmToneBurstCheckBox =
        checkBox(this, name("fmToneBurstEnabled%cCheckBox"), QStringLiteral("Tone burst"));
    row(fm, {}, {fmToneBurstCheckBox});
    repeaterOffsetDirPopup = popUp(this, name("repeaterOffsetDir%cpopup"));
    fmRepeaterOffsetText = textField(this, name("fmRepeaterOffset%cText"));
    fmRepeaterOffsetText->setMaximumWidth(90);
    row(fm, QStringLiteral("Offset"), {repeaterOffsetDirPopup, fmRepeaterOffsetText});
    txOffsetText = textField(this, name("txOffset%cText"), true);
    txOffsetText->setFixedWidth(
        QFontMetrics(txOffsetText->font()).horizontalAdvance(QStringLiteral("-99.999 MHz")) + 12);
    row(fm, QStringLiteral("TX offset"), {txOffsetText});

    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);
}

}  // namespace vm
