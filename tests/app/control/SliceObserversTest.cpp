// The slice observers: what panels A to D, the VFO controls and the heads-up switches show of
// their slices, and the three places where an observer writes to the radio.
#include "ObserverFixture.h"

#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/SlicePanel.h"
#include "support/LogCapture.h"
#include "util/VMKVOManager.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using SliceObservers = test::ObserverFixture;

TEST_F(SliceObservers, TheFirstPushFillsTheSlicesPanelAndAChangeMovesItsControl) {
    boundSlice(1, [](Slice& s) {
        s.sliceFrequency.store("7.150000");
        s.sliceMode.store("LSB");
        s.sliceAudioLevel.store(30);
        s.sliceMuteEnabled.store(true);
        s.sliceNrEnabled.store(1);
        s.sliceNrLevel.store(40);
        s.sliceAgcMode.store("fast");
        s.sliceAgcThreshold.store(65);
        s.sliceRxAnt.store("ant2");
        s.sliceTxAnt.store("ant1");
        s.sliceDax.store(3);
        s.fmToneFreq.store(88.5f);
        s.txOffsetFreq.store(-0.6f);
        s.sliceRitOffset.store(-50);
        s.sliceFilterLo.store(-2700);
        s.sliceFilterHi.store(-100);
        s.sliceRecordEnabled.store(true);
        s.sliceQRlength.store(0.0f);
    });
    SlicePanel& b = *controller->slicePanels[1];
    EXPECT_DOUBLE_EQ(b.freqText->doubleValue(), 7.15);
    EXPECT_EQ(b.volumeSlider->doubleValue(), 30);
    EXPECT_EQ(b.volumeText->intValue(), 30);
    EXPECT_TRUE(b.muteCheckBox->state());
    EXPECT_TRUE(b.nrCheckBox->state());
    EXPECT_EQ(b.nrText->intValue(), 40);
    EXPECT_EQ(b.agcModePopup->title(), "FAST");
    EXPECT_EQ(b.agctText->intValue(), 65);
    EXPECT_EQ(b.daxPopup->title(), "3");
    EXPECT_EQ(b.txOffsetText->stringValue(), "-0.6 MHz");
    EXPECT_EQ(b.ritText->stringValue(), "-50");
    EXPECT_EQ(b.ritStepper->doubleValue(), -50);
    EXPECT_EQ(b.filterLoText->intValue(), -2700);
    EXPECT_EQ(b.filterText->stringValue(), "2.6 KHz");
    EXPECT_EQ(b.recordButton->image(), controller->redBulb);
    EXPECT_EQ(b.playbackButton->image(), controller->play_button_black);

    // A value the radio reports later moves the control; a missing value changes nothing and
    // says so once.
    const auto bound = controller->doroSlices.front();
    bound->sliceAudioLevel.set(81);
    EXPECT_EQ(b.volumeSlider->doubleValue(), 81);
    test::LogCapture capture;
    bound->sliceNrLevel.set(std::nullopt);
    EXPECT_EQ(b.nrText->intValue(), 40);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{"sliceNrLevelChanged:Error"});
}

TEST_F(SliceObservers, EveryHandlerRunsOnceOnBindingAndAReplacedBindingStopsObserving) {
    test::LogCapture capture;
    const auto first = boundSlice(0);  // nothing known yet: each guarded handler says so once
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
    const auto manager = controller->sliceAKVOManager;
    const auto second = boundSlice(0);
    EXPECT_FALSE(manager->registered()) << "the replaced binding is cancelled";
    first->sliceAudioLevel.set(9);
    second->sliceAudioLevel.set(44);
    EXPECT_EQ(controller->slicePanels[0]->volumeSlider->doubleValue(), 44);
    EXPECT_EQ(lines("sliceAudioLevelChanged:Error"), 2) << "one push per binding";
}

TEST_F(SliceObservers, TheRitAndXitStepFollowsTheMode) {
    const struct {
        const char* mode;
        double step;
    } cases[] = {{"DIGU", 1}, {"USB", 10}, {"DIGL", 10}, {"CW", 1}, {"RTTY", 1}};
    const auto slice = boundSlice(2);
    const SlicePanel& c = *controller->slicePanels[2];
    for (const auto& [mode, step] : cases) {
        slice->sliceMode.set(mode);
        EXPECT_EQ(c.ritStepper->increment(), step) << mode;
        EXPECT_EQ(c.xitStepper->increment(), step) << mode;
    }
}

TEST_F(SliceObservers, WithMuteAlternateOnAnotherActiveSliceMutesTheOldOneOnceEach) {
    const auto a = boundSlice(0, [](Slice& s) {
        s.sliceActive.store(true);
        s.sliceMuteEnabled.store(false);
    });
    const auto b = boundSlice(1, [](Slice& s) {
        s.sliceActive.store(false);
        s.sliceMuteEnabled.store(true);
    });
    for (const bool muteAlternate : {false, true}) {
        controller->prefsWindow->muteAlternateVFOCheckBox->setState(muteAlternate);
        const std::size_t start = sent().size();
        // The radio reports B active, then A inactive.
        b->sliceActive.set(true);
        a->sliceActive.set(false);
        // One command each; the two slices' queues may send them in either order.
        auto mutes = sentSince(start);
        std::sort(mutes.begin(), mutes.end());
        if (muteAlternate) {
            EXPECT_EQ(mutes, (std::vector<std::string>{"audio client 0 slice 0 mute 1",
                                                       "audio client 0 slice 1 mute 0"}));
        } else {
            EXPECT_TRUE(mutes.empty());
        }
        // Back to A active, B muted, for the next round.
        a->sliceActive.store(true);
        a->sliceMuteEnabled.store(false);
        b->sliceActive.store(false);
        b->sliceMuteEnabled.store(true);
    }
}

TEST_F(SliceObservers, TheTransmitOffsetFollowsTheRepeaterDirectionAndOffset) {
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
    const auto slice = boundSlice(3, [](Slice& s) { s.fmRepeaterOffset.store(0.6f); });
    for (const auto& [direction, command] : cases) {
        const std::size_t start = sent().size();
        slice->repeaterOffsetDir.set(direction);
        EXPECT_EQ(sentSince(start), std::vector<std::string>{command}) << direction;
    }
    EXPECT_EQ(controller->slicePanels[3]->repeaterOffsetDirPopup->title(), "SIMPLEX")
        << "an unknown direction keeps the selection";
}

TEST_F(SliceObservers, TheAgcSliderShowsTheThresholdOrWithAgcOffTheOffLevel) {
    const auto slice = boundSlice(0, [](Slice& s) {
        s.sliceAgcMode.store("off");
        s.sliceAgcThreshold.store(70);
        s.sliceAgcOffLevel.store(20);
    });
    const SlicePanel& a = *controller->slicePanels[0];
    EXPECT_EQ(a.agctText->intValue(), 20);
    slice->sliceAgcThreshold.set(80);
    EXPECT_EQ(a.agctSlider->doubleValue(), 20);
    slice->sliceAgcMode.set("slow");
    slice->sliceAgcThreshold.set(85);
    EXPECT_EQ(a.agctSlider->doubleValue(), 85);
    EXPECT_EQ(a.agcModePopup->title(), "SLOW");
}

TEST_F(SliceObservers, DaxAntennasAndTheDetachedMarkShowInThePanelAndTheMemoryWindow) {
    const auto slice = boundSlice(1, [](Slice& s) {
        s.sliceDax.store(0);
        s.sliceRxAnt.store("rx_a");
        s.sliceFrequency.store("3.600000");
        s.detached.store(1);
    });
    const SlicePanel& b = *controller->slicePanels[1];
    EXPECT_EQ(b.daxPopup->title(), "None");
    slice->sliceDax.set(3);
    EXPECT_EQ(b.daxPopup->title(), "3");
    // No panadapter shows the slice: the mark stands alone.
    EXPECT_EQ(b.detachedText->text().toStdString(), " \u00D8");
    const std::string antennas[] = {"ANT1", "RX_A"};
    for (PopUpButton* popup : {b.rxAntPopup, controller->memoryPanel->rxAntPopups[1]}) {
        popup->clear();
        for (const auto& title : antennas) {
            popup->addItem(QString::fromStdString(title));
        }
    }
    slice->sliceRxAnt.set("rx_a");
    EXPECT_EQ(b.rxAntPopup->title(), "RX_A");
    EXPECT_EQ(controller->memoryPanel->rxAntPopups[1]->title(), "RX_A");
}

TEST_F(SliceObservers, TheVfoFieldsFollowTheActiveAndAlternateSliceAfterTheHandler) {
    const auto a = boundSlice(0, [](Slice& s) {
        s.sliceActive.store(true);
        s.sliceFrequency.store("14.000000");
        s.indexLetter.store("A");
    });
    const auto b = boundSlice(1, [](Slice& s) {
        s.sliceActive.store(false);
        s.sliceFrequency.store("7.000000");
        s.indexLetter.store("B");
    });
    const auto c = boundSlice(2, [](Slice& s) { s.sliceActive.store(false); });
    MainControlsBar& vfo = *controller->mainControls;
    test::mainQueueBarrier();
    const auto before = controller->lastTuningChange;

    b->sliceFrequency.set("7.100000");
    EXPECT_DOUBLE_EQ(controller->slicePanels[1]->freqText->doubleValue(), 7.1);
    test::mainQueueBarrier();
    EXPECT_DOUBLE_EQ(vfo.vfo_alt_mhz->doubleValue(), 7.1);
    EXPECT_EQ(vfo.vfoAltText->text(), "B");
    a->sliceFrequency.set("14.200000");
    test::mainQueueBarrier();
    EXPECT_DOUBLE_EQ(vfo.vfo_mhz->doubleValue(), 14.2);

    // Neither active nor alternate: its panel and the tuning time still follow.
    c->sliceFrequency.set("21.000000");
    EXPECT_DOUBLE_EQ(controller->slicePanels[2]->freqText->doubleValue(), 21.0);
    EXPECT_GT(controller->lastTuningChange, before);
    test::mainQueueBarrier();
    EXPECT_DOUBLE_EQ(vfo.vfo_mhz->doubleValue(), 14.2);
    EXPECT_DOUBLE_EQ(vfo.vfo_alt_mhz->doubleValue(), 7.1);
}

TEST_F(SliceObservers, TheRitSwitchLightsTheHudOnlyForTheActiveSlice) {
    const auto a = boundSlice(0, [](Slice& s) { s.sliceActive.store(true); });
    const auto b = boundSlice(1, [](Slice& s) { s.sliceActive.store(false); });
    b->sliceRitEnabled.set(true);
    EXPECT_TRUE(controller->slicePanels[1]->ritButton->state());
    EXPECT_FALSE(controller->hud->hudRitButton->state());
    a->sliceXitEnabled.set(true);
    EXPECT_TRUE(controller->hud->hudXitButton->state());
    EXPECT_EQ(controller->hud->hudXitButton->image(), controller->orangeBulb);
    a->sliceXitEnabled.set(false);
    EXPECT_EQ(controller->hud->hudXitButton->image(), controller->greyBulb);
}

}  // namespace
}  // namespace vm
