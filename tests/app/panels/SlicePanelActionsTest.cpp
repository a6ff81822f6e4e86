// The slice panels' controls against the simulated radio, offscreen, without the application:
// each control of a panel changes its own slice and the radio receives the slice's command; a
// panel without its slice sends nothing; a text that is not a number in range changes nothing.
#include "SlicePanelFixture.h"

#include "platform/core/Defaults.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QPainter>

#include <functional>

namespace vm {
namespace {

using Strings = std::vector<std::string>;
using SlicePanelActions = test::SlicePanelFixture;

// The user's hand on a control: its value changes, then its action is sent.
void move(Slider* slider, double value) {
    slider->setDoubleValue(value);
    slider->sendAction();
}
void tick(CheckBox* box, bool on) {
    box->setState(on);
    box->sendAction();
}
void press(ImageButton* button, bool on) {
    button->setState(on);
    button->sendAction();
}
void step(Stepper* stepper, double from, int steps) {
    stepper->setDoubleValue(from);
    stepper->stepBy(steps);
}
void choose(PopUpButton* popup, const char* title) {
    popup->selectItemWithTitle(title);
    popup->sendAction();
}
void type(TextField* field, const char* text) {
    field->setStringValue(text);
    emit field->endEditing();
}

// The commands of `texts` that start with `prefix`, in order.
Strings only(const Strings& texts, const std::string& prefix) {
    Strings kept;
    std::copy_if(texts.begin(), texts.end(), std::back_inserter(kept),
                 [&](const std::string& text) { return text.starts_with(prefix); });
    return kept;
}

struct ControlCase {
    const char* name;
    std::function<void(SlicePanel&)> change;
    Strings commands;  // what slice 1 sends for the change on panel B
};

// Every control of a panel changed once, in an order in which each change is seen alone. The
// slice starts in USB, filter 100..2800 Hz, AGC medium, RIT, XIT and APF off, not playing.
std::vector<ControlCase> everyControl() {
    return {
        {"MuteBoxTicked",
         [](SlicePanel& p) { tick(p.muteCheckBox, true); },
         {"audio client 0 slice 1 mute 0"}},
        {"Volume", [](SlicePanel& p) { move(p.volumeSlider, 37); }, {"slice set 1 audio_level=37"}},
        {"NrBox", [](SlicePanel& p) { tick(p.nrCheckBox, true); }, {"slice set 1 nr=1"}},
        {"NrLevel", [](SlicePanel& p) { move(p.nrSlider, 20); }, {"slice set 1 nr_level=20"}},
        {"NbBox", [](SlicePanel& p) { tick(p.nbCheckBox, true); }, {"slice set 1 nb=1"}},
        {"NbLevel", [](SlicePanel& p) { move(p.nbSlider, 30); }, {"slice set 1 nb_level=30"}},
        {"AnfBox", [](SlicePanel& p) { tick(p.anfCheckBox, true); }, {"slice set 1 anf=1"}},
        {"AnfLevel", [](SlicePanel& p) { move(p.anfSlider, 40); }, {"slice set 1 anf_level=40"}},
        {"ApfBox", [](SlicePanel& p) { tick(p.apfCheckBox, true); }, {"slice set 1 apf=1"}},
        {"ApfLevel",
         [](SlicePanel& p) { move(p.apfSlider, 50); },
         {"slice set 1 apf=1 apf_level=50"}},
        {"AgcMode",
         [](SlicePanel& p) { choose(p.agcModePopup, "FAST"); },
         {"slice set 1 agc_mode=fast"}},
        {"AgcThreshold",
         [](SlicePanel& p) { move(p.agctSlider, 65); },
         {"slice set 1 agc_threshold=65"}},
        {"Pan", [](SlicePanel& p) { move(p.panSlider, 30); }, {"audio client 0 slice 1 pan 30"}},
        {"WideBox", [](SlicePanel& p) { tick(p.wideCheckBox, true); }, {}},
        {"FilterHigh",
         [](SlicePanel& p) { step(p.filterHiStepper, 2850, 1); },
         {"filt 1 100 2900"}},
        {"FilterLow", [](SlicePanel& p) { step(p.filterLoStepper, 150, 1); }, {"filt 1 200 2900"}},
        {"RxAntenna",
         [](SlicePanel& p) { choose(p.rxAntPopup, "ANT2"); },
         {"slice set 1 rxant=ant2"}},
        {"TxAntenna",
         [](SlicePanel& p) { choose(p.txAntPopup, "ANT1"); },
         {"slice set 1 txant=ant1"}},
        {"Record", [](SlicePanel& p) { press(p.recordButton, true); }, {"slice set 1 record=1"}},
        {"Playback", [](SlicePanel& p) { press(p.playbackButton, false); }, {"slice set 1 play=1"}},
        {"QrTransmitBox", [](SlicePanel& p) { tick(p.qrTransmitButton, true); }, {}},
        {"FilterPreset",
         [](SlicePanel& p) { choose(p.filterPresetPopup, "2.7K"); },
         {"filt 1 100 2900", "filt 1 100 2800"}},
        {"RitButton", [](SlicePanel& p) { press(p.ritButton, true); }, {"slice set 1 rit_on=1"}},
        {"RitStepper",
         [](SlicePanel& p) { step(p.ritStepper, 40, 1); },
         {"slice set 1 rit_freq=50"}},
        {"XitButton", [](SlicePanel& p) { press(p.xitButton, true); }, {"slice set 1 xit_on=1"}},
        {"XitStepper",
         [](SlicePanel& p) { step(p.xitStepper, -10, -1); },
         {"slice set 1 xit_freq=-20"}},
        {"LockedBox", [](SlicePanel& p) { tick(p.lockedCheckBox, true); }, {"slice lock 1"}},
        {"SquelchBox",
         [](SlicePanel& p) { tick(p.squelchCheckBox, true); },
         {"slice set 1 squelch=1"}},
        {"SquelchLevel",
         [](SlicePanel& p) { move(p.squelchSlider, 45); },
         {"slice set 1 squelch_level=45"}},
        {"ToneBurstBox",
         [](SlicePanel& p) { tick(p.fmToneBurstCheckBox, true); },
         {"slice set 1 fm_tone_burst=1"}},
        {"ToneMode",
         [](SlicePanel& p) { choose(p.fmToneModePopup, "CTCSS_TX"); },
         {"slice set 1 fm_tone_mode=ctcss_tx"}},
        {"ToneFrequency",
         [](SlicePanel& p) { choose(p.fmToneFreqPopup, "100.0"); },
         {"slice set 1 fm_tone_value=100.0"}},
        // The slice's observers write its transmit offset back as direction and offset change,
        // before the panel's own command leaves: up with no offset yet, then up 0.6 MHz.
        {"OffsetDirection",
         [](SlicePanel& p) { choose(p.repeaterOffsetDirPopup, "UP"); },
         {"slice set 1 tx_offset_freq=0.000000", "slice set 1 repeater_offset_dir=up"}},
        {"RepeaterOffset",
         [](SlicePanel& p) { type(p.fmRepeaterOffsetText, "0.600"); },
         {"slice set 1 tx_offset_freq=0.600000", "slice set 1 fm_repeater_offset_freq=0.600"}},
        {"DaxChannel", [](SlicePanel& p) { choose(p.daxPopup, "3"); }, {"slice set 1 dax=3"}},
    };
}

const char* const kUsbSlice =
    "mode=USB filter_lo=100 filter_hi=2800 agc_mode=med rit_on=0 rit_freq=0 xit_on=0 "
    "xit_freq=0 apf=0 play=0 record=0";

// The antenna pop-ups are filled from the radio's antenna lists in a session; here by hand.
void giveAntennas(SlicePanel& p) {
    for (PopUpButton* popup : {p.rxAntPopup, p.txAntPopup}) {
        popup->clear();
        popup->addItems({"ANT1", "ANT2"});
    }
}

TEST_F(SlicePanelActions, EveryControlOfPanelBSendsItsCommandForSlice1Only) {
    ASSERT_TRUE(addSlice(0, kUsbSlice));
    const auto slice = addSlice(1, kUsbSlice);
    ASSERT_TRUE(slice);
    giveAntennas(panel(1));
    for (const ControlCase& c : everyControl()) {
        SCOPED_TRACE(c.name);
        mark();
        c.change(panel(1));
        EXPECT_EQ(receivedSinceMark(), c.commands);
    }
    EXPECT_EQ(slice->sliceWide(), true) << "the wide box is kept by the slice without a command";
    EXPECT_EQ(Defaults::standard().boolForKey("transmit_B_while_recording_playback"), true);
}

TEST_F(SlicePanelActions, APanelWithoutItsSliceSendsNothingAndLeavesTheOtherSlicesAlone) {
    const auto a = addSlice(0, kUsbSlice);
    const auto b = addSlice(1, kUsbSlice);
    ASSERT_TRUE(a && b);
    giveAntennas(panel(2));
    controller(2).loadPresetFiltersForVFO("USB");
    mark();
    for (const ControlCase& c : everyControl()) {
        c.change(panel(2));
    }
    EXPECT_EQ(receivedSinceMark(), Strings{});
    for (const auto& slice : {a, b}) {
        EXPECT_EQ(slice->sliceAudioLevel(), std::nullopt);
        EXPECT_EQ(slice->sliceFilterHi(), 2800);
        EXPECT_EQ(slice->sliceRitEnabled(), false);
        EXPECT_EQ(slice->sliceWide(), std::nullopt);
    }
    EXPECT_EQ(Defaults::standard().boolForKey("transmit_C_while_recording_playback"), std::nullopt);
}

struct VolumeCase {
    const char* name;
    bool olderRadio;
    const char* command;
};

void PrintTo(const VolumeCase& c, std::ostream* os) { *os << c.name; }

class PanelAVolume : public test::SlicePanelFixture,
                     public ::testing::WithParamInterface<VolumeCase> {
protected:
    void SetUp() override {
        olderRadio = GetParam().olderRadio;
        SlicePanelFixture::SetUp();
    }
};

TEST_P(PanelAVolume, SendsTheSlicesAudioLevelInTheRadiosForm) {
    ASSERT_TRUE(addSlice(0, kUsbSlice));
    mark();
    move(panel(0).volumeSlider, 63);
    EXPECT_EQ(receivedSinceMark(), Strings{GetParam().command});
}

INSTANTIATE_TEST_SUITE_P(
    Radios, PanelAVolume,
    ::testing::Values(VolumeCase{"NewerInterface", false, "slice set 0 audio_level=63"},
                      VolumeCase{"OlderRadio", true, "audio client 0 slice 0 gain 63"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(SlicePanelActions, APresetSetsTheLowEdgeFirstAndOtherReselectsTheSlicesFilter) {
    const auto slice = addSlice(0, "mode=USB filter_lo=200 filter_hi=3000");
    ASSERT_TRUE(slice);
    PopUpButton* presets = panel(0).filterPresetPopup;
    mark();
    choose(presets, "2.7K");
    EXPECT_EQ(receivedSinceMark(), (Strings{"filt 0 100 3000", "filt 0 100 2800"}));

    mark();
    choose(presets, "Other");
    EXPECT_EQ(receivedSinceMark(), Strings{});
    EXPECT_EQ(presets->title(), "2.7K") << "the entry of the slice's filter is chosen again";
}

// The box is ticked while the slice's audio is on: the slice's own change, which comes back to
// the panel, keeps what the user chose.
TEST_F(SlicePanelActions, TheMuteBoxShowsAudioOnSoUntickingMutesAndTheBoxKeepsTheChoice) {
    const auto slice = addSlice(0, kUsbSlice + std::string(" audio_mute=0"));
    ASSERT_TRUE(slice);
    EXPECT_TRUE(panel(0).muteCheckBox->state());
    mark();
    tick(panel(0).muteCheckBox, false);
    EXPECT_EQ(slice->sliceMuteEnabled(), true);
    EXPECT_FALSE(panel(0).muteCheckBox->state());
    tick(panel(0).muteCheckBox, true);
    EXPECT_EQ(slice->sliceMuteEnabled(), false);
    EXPECT_TRUE(panel(0).muteCheckBox->state());
    EXPECT_EQ(receivedSinceMark(),
              (Strings{"audio client 0 slice 0 mute 1", "audio client 0 slice 0 mute 0"}));
}

TEST_F(SlicePanelActions, RitOffClearsTheOffsetFirstAndTheStepperSwitchesRitOn) {
    ASSERT_TRUE(addSlice(0, kUsbSlice + std::string(" rit_freq=120")));
    SlicePanel& p = panel(0);
    const struct {
        const char* name;
        std::function<void()> change;
        Strings commands;
    } cases[] = {
        {"ButtonOn", [&] { press(p.ritButton, true); }, {"slice set 0 rit_on=1"}},
        {"ButtonOff",
         [&] { press(p.ritButton, false); },
         {"slice set 0 rit_freq=0", "slice set 0 rit_on=0"}},
        {"StepperWhileOff",
         [&] { step(p.ritStepper, 0, 1); },
         {"slice set 0 rit_on=1", "slice set 0 rit_freq=10"}},
        {"StepperWhileOn", [&] { step(p.ritStepper, 10, 1); }, {"slice set 0 rit_freq=20"}},
        {"XitButtonOff",
         [&] { press(p.xitButton, false); },
         {"slice set 0 xit_freq=0", "slice set 0 xit_on=0"}},
        {"XitStepperWhileOff",
         [&] { step(p.xitStepper, 0, -1); },
         {"slice set 0 xit_on=1", "slice set 0 xit_freq=-10"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mark();
        c.change();
        EXPECT_EQ(receivedSinceMark(), c.commands);
    }
}

TEST_F(SlicePanelActions, QuickRecordKeysTheRadioOnlyWithQrTransmitAndPlaybackToggles) {
    const auto slice = addSlice(0, kUsbSlice + std::string(" tx=0"));
    ASSERT_TRUE(slice);
    SlicePanel& p = panel(0);
    const auto before = controller(0).recordingStarted();

    tick(p.qrTransmitButton, false);
    mark();
    press(p.recordButton, true);
    EXPECT_EQ(receivedSinceMark(), Strings{"slice set 0 record=1"});
    EXPECT_GT(controller(0).recordingStarted(), before);
    press(p.recordButton, false);

    tick(p.qrTransmitButton, true);
    EXPECT_EQ(Defaults::standard().boolForKey("transmit_A_while_recording_playback"), true);
    mark();
    press(p.recordButton, true);
    // The slice's commands keep their order; the radio's own go on another queue.
    auto received = receivedSinceMark();
    EXPECT_EQ(only(received, "slice"), (Strings{"slice set 0 record=1", "slice set 0 tx=1"}));
    EXPECT_EQ(only(received, "xmit"), Strings{"xmit 1"});
    mark();
    press(p.recordButton, false);
    received = receivedSinceMark();
    EXPECT_EQ(only(received, "slice"), Strings{"slice set 0 record=0"});
    EXPECT_EQ(only(received, "xmit"), Strings{"xmit 0"});

    // Playback follows the slice, whatever the button shows; with QR transmit on, the slice's
    // playback observer keys the radio while it plays.
    const auto notPlayed = controller(0).playbackStarted();
    mark();
    press(p.playbackButton, true);
    EXPECT_GT(controller(0).playbackStarted(), notPlayed);
    const auto played = controller(0).playbackStarted();
    press(p.playbackButton, true);
    received = receivedSinceMark();
    EXPECT_EQ(only(received, "slice"), (Strings{"slice set 0 play=1", "slice set 0 play=0"}));
    EXPECT_EQ(only(received, "xmit"), (Strings{"xmit 1", "xmit 0"}));
    EXPECT_EQ(controller(0).playbackStarted(), played) << "stopping keeps the start time";
}

TEST_F(SlicePanelActions, AgcTSetsTheOffLevelWhileAgcIsOffAndPanelsBToDWaitForTheQueue) {
    const auto a = addSlice(0, "mode=USB agc_mode=off agc_off_level=10");
    const auto b = addSlice(1, "mode=USB agc_mode=slow agc_threshold=10");
    ASSERT_TRUE(a && b);
    mark();
    move(panel(0).agctSlider, 20);
    EXPECT_EQ(a->sliceAgcOffLevel(), 20) << "panel A sets at once";
    move(panel(1).agctSlider, 30);
    EXPECT_EQ(b->sliceAgcThreshold(), 10) << "panel B sets when its queued setter runs";
    // Each slice sends on its own queue: the order holds per slice, not across slices.
    const Strings received = receivedSinceMark();
    EXPECT_EQ(only(received, "slice set 0"), Strings{"slice set 0 agc_off_level=20"});
    EXPECT_EQ(only(received, "slice set 1"), Strings{"slice set 1 agc_threshold=30"});
    EXPECT_EQ(received.size(), 2u);

    // A queued setter reads its control when it runs: two quick moves send the later value twice.
    mark();
    move(panel(1).nrSlider, 10);
    move(panel(1).nrSlider, 20);
    EXPECT_EQ(receivedSinceMark(), (Strings{"slice set 1 nr_level=20", "slice set 1 nr_level=20"}));
}

TEST_F(SlicePanelActions, ToneOffsetAndDaxThatAreNotNumbersInRangeLeaveTheSliceAlone) {
    const auto slice = addSlice(
        1, kUsbSlice + std::string(" fm_tone_value=88.5 fm_repeater_offset_freq=0.6 dax=2"));
    ASSERT_TRUE(slice);
    SlicePanel& p = panel(1);
    p.fmToneFreqPopup->addItems({"abc", "300.0"});
    p.daxPopup->addItems({"Ch 9", "9", "-1"});
    mark();
    for (const char* title : {"abc", "300.0"}) {
        choose(p.fmToneFreqPopup, title);
    }
    for (const char* text : {"", "abc", "-0.6", "0.6 MHz", "250", "nan"}) {
        type(p.fmRepeaterOffsetText, text);
    }
    for (const char* title : {"Ch 9", "9", "-1"}) {
        choose(p.daxPopup, title);
    }
    EXPECT_EQ(receivedSinceMark(), Strings{});
    EXPECT_EQ(slice->fmToneFreq(), 88.5f);
    EXPECT_EQ(slice->fmRepeaterOffset(), 0.6f);
    EXPECT_EQ(slice->sliceDax(), 2);

    // "None" is channel 0.
    mark();
    choose(p.daxPopup, "None");
    EXPECT_EQ(receivedSinceMark(), Strings{"slice set 1 dax=0"});
}

// A typed frequency tunes the panel's slice; one the radio cannot take, or a locked slice, sends
// nothing and the field shows the slice's frequency again.
TEST_F(SlicePanelActions, ATypedFrequencyTunesThePanelsSliceOrIsTakenBack) {
    const auto slice = addSlice(1, kUsbSlice + std::string(" RF_frequency=14.100000 lock=0"));
    ASSERT_TRUE(slice);
    TextField* field = panel(1).freqText;
    mark();
    type(field, "14.0305");
    EXPECT_EQ(receivedSinceMark(), Strings{"slice tune 1 14.03050"});
    for (const char* text : {"0", "-7.1", "abc", ""}) {
        SCOPED_TRACE(text);
        mark();
        type(field, text);
        EXPECT_EQ(receivedSinceMark(), Strings{});
        EXPECT_DOUBLE_EQ(field->doubleValue(), 14.0305);
    }
    ASSERT_TRUE(report(1, "lock=1", [&] { return slice->sliceLocked().value_or(false); }));
    mark();
    type(field, "7.1");
    EXPECT_EQ(receivedSinceMark(), Strings{});
    EXPECT_DOUBLE_EQ(field->doubleValue(), 14.0305);
}

// The four panels side by side with slices in four modes, each pop-up showing its mode's presets.
TEST_F(SlicePanelActions, FourPanelsWithSlicesOfFourModesAreDrawn) {
    const struct {
        const char* settings;
        const char* mode;
        const char* preset;
    } slices[] = {{"mode=USB filter_lo=100 filter_hi=2800", "USB", "2.7K"},
                  {"mode=CW filter_lo=-250 filter_hi=250", "CW", "Other"},
                  {"mode=DIGU filter_lo=1000 filter_hi=2000", "DIGU", "1.0K"},
                  {"mode=FM filter_lo=-8000 filter_hi=8000", "FM", "Other"}};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(addSlice(i, slices[i].settings));
        EXPECT_EQ(panel(i).filterPresetPopup->title(), slices[i].preset) << slices[i].mode;
        // What the user set on the panel.
        move(panel(i).volumeSlider, 20 + 20 * i);
        tick(panel(i).muteCheckBox, i != 2);
        tick(panel(i).nrCheckBox, i % 2 == 0);
    }
    EXPECT_EQ(panel(3).filterPresetPopup->count(), 1) << "FM has \"Other\" alone";

    // Two by two, each under a caption, without the panel's empty lower part.
    for (const auto& shown : panels) {
        shown->resize(shown->sizeHint());
        shown->show();
    }
    QApplication::processEvents();
    const QPalette palette = panel(0).palette();
    const QSize cell(panel(0).width(), panel(0).sizeHint().height() + 28);
    QImage picture(cell * 2 * 2, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(2.0);
    picture.fill(palette.window().color());
    QPainter painter(&picture);
    for (int i = 0; i < 4; ++i) {
        const QPoint at((i % 2) * cell.width(), (i / 2) * cell.height());
        QFont bold = painter.font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(palette.windowText().color());
        painter.drawText(QRect(at + QPoint(8, 0), QSize(cell.width() - 8, 28)),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Panel %1: slice %2, %3")
                             .arg(QChar(u'A' + i))
                             .arg(i)
                             .arg(QString::fromLatin1(slices[i].mode)));
        panel(i).render(&painter, at + QPoint(0, 28),
                        QRegion(0, 0, cell.width(), cell.height() - 28));
        painter.setPen(palette.mid().color());
        painter.drawRect(QRect(at, cell).adjusted(0, 0, -1, -1));
    }
    painter.end();
    ASSERT_TRUE(QDir().mkpath(QStringLiteral(VM_SCREENSHOT_DIR)));
    EXPECT_TRUE(picture.save(QStringLiteral(VM_SCREENSHOT_DIR "/app_slice_panels_four_modes.png")));
}

}  // namespace
}  // namespace vm
