// The slice panel's observers against the simulated radio: what a panel shows of its slice, what
// it tells its host for the other windows, the three places where an observer writes to the
// radio, and the walk of the slice table.
#include "SlicePanelFixture.h"

#include "app/windows/StatusImages.h"
#include "support/KeyTableWalk.h"
#include "support/LogCapture.h"
#include "util/VMKVOManager.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using Strings = std::vector<std::string>;
using SlicePanelObservers = test::SlicePanelFixture;

TEST(SliceKeyTable, EveryRowNamesAPropertyOfTheSliceAndReachesItsHandlerAlone) {
    EXPECT_EQ(SlicePanelController::sliceKeyTable().size(), 50u);
    test::walkKeyTable(SlicePanelController::sliceKeyTable(), Slice::create(nullptr, 0));
}

TEST_F(SlicePanelObservers, TheRadiosSliceLineFillsItsPanelAndALaterLineMovesTheControl) {
    const auto slice =
        addSlice(1,
                 "RF_frequency=7.150000 mode=LSB audio_level=30 audio_mute=1 nr=1 nr_level=40 "
                 "agc_mode=fast agc_threshold=65 dax=3 fm_tone_value=88.5 tx_offset_freq=-0.6 "
                 "rit_freq=-50 filter_lo=-2800 filter_hi=-100 record=1 record_time=0");
    ASSERT_TRUE(slice);
    SlicePanel& b = panel(1);
    EXPECT_DOUBLE_EQ(b.freqText->doubleValue(), 7.15);
    EXPECT_EQ(b.volumeSlider->doubleValue(), 30);
    EXPECT_EQ(b.volumeText->intValue(), 30);
    EXPECT_FALSE(b.muteCheckBox->state()) << "a muted slice's audio box is clear";
    EXPECT_TRUE(b.nrCheckBox->state());
    EXPECT_EQ(b.nrText->intValue(), 40);
    EXPECT_EQ(b.agcModePopup->title(), "FAST");
    EXPECT_EQ(b.agctText->intValue(), 65);
    EXPECT_EQ(b.daxPopup->title(), "3");
    EXPECT_EQ(b.fmToneFreqPopup->title(), "88.5");
    EXPECT_EQ(b.txOffsetText->stringValue(), "-0.6 MHz");
    EXPECT_EQ(b.ritText->stringValue(), "-50");
    EXPECT_EQ(b.ritStepper->doubleValue(), -50);
    EXPECT_EQ(b.filterLoText->intValue(), -2800);
    EXPECT_EQ(b.filterText->stringValue(), "2.7 KHz");
    EXPECT_EQ(b.filterPresetPopup->title(), "2.7K");
    EXPECT_EQ(b.recordButton->image(), statusImageNamed("red_ball"));
    EXPECT_EQ(b.playbackButton->image(), statusImageNamed("play_black"));
    EXPECT_EQ(host->toldAbout("mode menus"), Strings{"mode menus 1 LSB false"});
    EXPECT_EQ(host->toldAbout("tuned"), Strings{"tuned 1"});
    EXPECT_EQ(panel(0).volumeText->stringValue(), "") << "another panel shows nothing of it";

    // A value the radio reports later moves the control; a missing value changes nothing and
    // says so once.
    ASSERT_TRUE(report(1, "audio_level=81", [&] { return b.volumeSlider->doubleValue() == 81; }));
    EXPECT_EQ(b.volumeText->intValue(), 81);
    test::LogCapture capture;
    slice->sliceNrLevel.set(std::nullopt);
    EXPECT_EQ(b.nrText->intValue(), 40);
    EXPECT_EQ(test::loggedLines(capture), Strings{"sliceNrLevelChanged:Error"});
}

TEST_F(SlicePanelObservers, EveryHandlerRunsOnceOnBindingAndAReplacedBindingStopsObserving) {
    test::LogCapture capture;
    const auto first = addSlice(0, "");  // nothing known yet: each guarded handler says so once
    ASSERT_TRUE(first);
    auto lines = [&](const std::string& line) {
        const auto all = capture.lines();
        return std::count(all.begin(), all.end(), line);
    };
    for (const char* handler :
         {"sliceFrequencyChanged", "sliceModeChanged", "sliceAudioLevelChanged",
          "sliceFmRepeaterOffsetChanged", "sliceRepeaterOffsetDirChanged", "txAntListChanged",
          "sliceQRlengthChanged", "slicePanForSliceChanged"}) {
        EXPECT_EQ(lines(std::string(handler) + ":Error"), 1) << handler;
    }
    const auto manager = controller(0).sliceKVOManager();
    const auto second = Slice::create(radio, 0);
    controller(0).bind(second);
    EXPECT_FALSE(manager->registered()) << "the replaced binding is cancelled";
    first->sliceAudioLevel.set(9);
    second->sliceAudioLevel.set(44);
    EXPECT_EQ(panel(0).volumeSlider->doubleValue(), 44);
    EXPECT_EQ(lines("sliceAudioLevelChanged:Error"), 2) << "one push per binding";

    controller(0).unbind();
    EXPECT_FALSE(controller(0).sliceKVOManager()->registered());
    second->sliceAudioLevel.set(45);
    EXPECT_EQ(panel(0).volumeSlider->doubleValue(), 44);
}

TEST_F(SlicePanelObservers, TheRitAndXitStepFollowsTheMode) {
    const struct {
        const char* mode;
        double step;
    } cases[] = {{"DIGU", 1}, {"USB", 10}, {"DIGL", 10}, {"CW", 1}, {"RTTY", 1}};
    const auto slice = addSlice(2, "mode=USB");
    ASSERT_TRUE(slice);
    const SlicePanel& c = panel(2);
    for (const auto& [mode, step] : cases) {
        slice->sliceMode.set(mode);
        EXPECT_EQ(c.ritStepper->increment(), step) << mode;
        EXPECT_EQ(c.xitStepper->increment(), step) << mode;
    }
}

TEST_F(SlicePanelObservers, TheTransmitOffsetFollowsTheRepeaterDirectionTheRadioReports) {
    const struct {
        const char* direction;
        const char* sent;
    } cases[] = {{"DOWN", "slice set 3 tx_offset_freq=-0.600000"},
                 {"UP", "slice set 3 tx_offset_freq=0.600000"},
                 // the radio's own lower-case words
                 {"down", "slice set 3 tx_offset_freq=-0.600000"},
                 {"up", "slice set 3 tx_offset_freq=0.600000"},
                 {"SIMPLEX", "slice set 3 tx_offset_freq=0.000000"},
                 {"sideways", "slice set 3 tx_offset_freq=0.000000"}};
    const auto slice = addSlice(3, "mode=FM fm_repeater_offset_freq=0.6");
    ASSERT_TRUE(slice);
    for (const auto& c : cases) {
        mark();
        ASSERT_TRUE(report(3, std::string("repeater_offset_dir=") + c.direction,
                           [&] { return slice->repeaterOffsetDir() == c.direction; }));
        EXPECT_EQ(receivedSinceMark(), Strings{c.sent}) << c.direction;
    }
    EXPECT_EQ(panel(3).repeaterOffsetDirPopup->title(), "SIMPLEX")
        << "an unknown direction keeps the selection";
}

TEST_F(SlicePanelObservers, TheAgcSliderShowsTheThresholdOrWithAgcOffTheOffLevel) {
    const auto slice = addSlice(0, "agc_mode=off agc_threshold=70 agc_off_level=20");
    ASSERT_TRUE(slice);
    const SlicePanel& a = panel(0);
    EXPECT_EQ(a.agctText->intValue(), 20);
    slice->sliceAgcThreshold.set(80);
    EXPECT_EQ(a.agctSlider->doubleValue(), 20);
    slice->sliceAgcMode.set("slow");
    slice->sliceAgcThreshold.set(85);
    EXPECT_EQ(a.agctSlider->doubleValue(), 85);
    EXPECT_EQ(a.agcModePopup->title(), "SLOW");
}

TEST_F(SlicePanelObservers, DaxAntennasAndThePanadapterTextShowInThePanelAndTheHostHearsOfThem) {
    const auto slice = addSlice(1, "dax=0 rxant=rx_a RF_frequency=3.600000 detached=1");
    ASSERT_TRUE(slice);
    SlicePanel& b = panel(1);
    EXPECT_EQ(b.daxPopup->title(), "None");
    slice->sliceDax.set(3);
    EXPECT_EQ(b.daxPopup->title(), "3");
    // No panadapter shows the slice: the mark stands alone; then one on 80 m does.
    EXPECT_EQ(b.detachedText->text().toStdString(), " \u00D8");
    host->panName = "80M";
    ASSERT_TRUE(report(1, "pan=0x40000000", [&] { return slice->panForSlice().has_value(); }));
    EXPECT_EQ(b.detachedText->text().toStdString(), "80M \u00D8");

    b.rxAntPopup->addItems({"ANT1", "RX_A"});
    host->told.clear();
    slice->sliceRxAnt.set("rx_a");
    slice->sliceTxAnt.set("ant1");
    EXPECT_EQ(b.rxAntPopup->title(), "RX_A");
    EXPECT_EQ(host->toldAbout("memory"), (Strings{"memory rx 1 RX_A", "memory tx 1 ANT1"}));
}

TEST_F(SlicePanelObservers, FrequencyModeAndActiveChangesAreToldToTheHost) {
    const auto a = addSlice(0, "active=1 mode=USB RF_frequency=14.000000");
    const auto c = addSlice(2, "active=0 mode=CW RF_frequency=7.000000");
    ASSERT_TRUE(a && c);
    host->told.clear();
    c->sliceFrequency.set("21.000000");
    EXPECT_DOUBLE_EQ(panel(2).freqText->doubleValue(), 21.0);
    c->sliceMode.set("DIGU");
    a->sliceActive.set(false);
    c->sliceActive.set(true);
    EXPECT_EQ(host->told, (Strings{"tuned 2", "mode menus 2 DIGU false", "active mode", "active 0",
                                   "active 2"}));
    a->sliceMode.set("LSB");
    EXPECT_EQ(host->toldAbout("mode menus 0"), Strings{"mode menus 0 LSB false"});
    c->sliceMode.set("USB");
    EXPECT_EQ(host->toldAbout("mode menus 2").back(), "mode menus 2 USB true");
}

TEST_F(SlicePanelObservers, TheRitAndXitSwitchesReachTheHudOnlyForTheActiveSlice) {
    const auto a = addSlice(0, "active=1");
    const auto b = addSlice(1, "active=0");
    ASSERT_TRUE(a && b);
    host->told.clear();
    b->sliceRitEnabled.set(true);
    EXPECT_TRUE(panel(1).ritButton->state());
    a->sliceXitEnabled.set(true);
    a->sliceXitEnabled.set(false);
    EXPECT_FALSE(panel(0).xitButton->state());
    EXPECT_EQ(host->toldAbout("hud"), (Strings{"hud xit true", "hud xit false"}));
}

TEST_F(SlicePanelObservers, PlaybackWithQrTransmitKeysTheRadioUnlessTheSliceRecords) {
    // Binding a slice that neither records nor plays unkeys the radio once.
    panel(0).qrTransmitButton->setState(true);
    mark();
    const auto slice = addSlice(0, "play=0 record=0 record_time=0");
    ASSERT_TRUE(slice);
    EXPECT_EQ(receivedSinceMark(), Strings{"xmit 0"});

    mark();
    ASSERT_TRUE(report(0, "play=1", [&] { return controller(0).flashPlayBack(); }));
    EXPECT_EQ(panel(0).playbackButton->image(), statusImageNamed("play_green"));
    ASSERT_TRUE(report(0, "play=0", [&] { return !controller(0).flashPlayBack(); }));
    EXPECT_EQ(panel(0).playbackButton->image(), statusImageNamed("play_black"));
    EXPECT_EQ(receivedSinceMark(), (Strings{"xmit 1", "xmit 0"}));

    // While it records, its playback keys nothing; a kept recording keeps the green button.
    mark();
    ASSERT_TRUE(report(0, "record=1 record_time=4",
                       [&] { return slice->sliceRecordEnabled().value_or(false); }));
    ASSERT_TRUE(report(0, "play=1", [&] { return controller(0).flashPlayBack(); }));
    ASSERT_TRUE(report(0, "play=0", [&] { return !controller(0).flashPlayBack(); }));
    EXPECT_EQ(receivedSinceMark(), Strings{});
    EXPECT_EQ(panel(0).qrLengthText->intValue(), 4);
    EXPECT_EQ(panel(0).playbackButton->image(), statusImageNamed("play_green"));
}

// A panel offers its controls only with its slice; the FM controls only in an FM mode, the peak
// filter only in a CW mode, whichever comes first of the slice's lines and the enabling.
TEST_F(SlicePanelObservers, TheControlsOfferedFollowTheSliceAndItsMode) {
    const auto slice = addSlice(0, "mode=USB ant_list=ANT1,ANT2,RX_A tx_ant_list=");
    ASSERT_TRUE(slice);
    for (auto& c : controllers) {
        c->adjustSliceControls();
    }
    const SlicePanel& a = panel(0);
    const struct {
        const char* mode;
        bool fm, cw;
    } cases[] = {
        {"USB", false, false}, {"DFM", true, false}, {"CWL", false, true}, {"FM", true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        slice->sliceMode.set(c.mode);
        EXPECT_TRUE(a.volumeSlider->isEnabled());
        EXPECT_EQ(a.squelchSlider->isEnabled(), c.fm);
        EXPECT_EQ(a.fmToneFreqPopup->isEnabled(), c.fm);
        EXPECT_EQ(a.repeaterOffsetDirPopup->isEnabled(), c.fm);
        EXPECT_EQ(a.apfCheckBox->isEnabled(), c.cw);
    }
    controller(0).adjustSliceControls();
    EXPECT_TRUE(a.squelchCheckBox->isEnabled()) << "still FM after the panel was enabled";
    EXPECT_FALSE(a.apfSlider->isEnabled());
    for (QWidget* control : {static_cast<QWidget*>(panel(1).volumeSlider),
                             static_cast<QWidget*>(panel(1).squelchSlider),
                             static_cast<QWidget*>(panel(1).rxAntPopup)}) {
        EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
    }

    // Without transmit antennas of its own the slice transmits on its receive ones.
    controller(0).loadAntennas(slice);
    for (const PopUpButton* popup : {a.rxAntPopup, a.txAntPopup}) {
        ASSERT_EQ(popup->numberOfItems(), 3);
        EXPECT_EQ(popup->itemText(2).toStdString(), "RX_A");
    }
}

// A slice's lock and transmit flags bring the slice menus, and the transmit flag the split, up
// to date.
TEST_F(SlicePanelObservers, LockAndTransmitChangesBringTheSliceMenusAndSplitUpToDate) {
    ASSERT_TRUE(addSlice(1, "lock=0 tx=0"));
    host->told.clear();
    ASSERT_TRUE(report(1, "lock=1", [&] { return !host->toldAbout("vfo menu").empty(); }));
    EXPECT_TRUE(host->toldAbout("split").empty());
    host->told.clear();
    ASSERT_TRUE(report(1, "tx=1", [&] { return !host->toldAbout("vfo menu").empty(); }));
    EXPECT_EQ(host->toldAbout("split").size(), 1u);
}

}  // namespace
}  // namespace vm
