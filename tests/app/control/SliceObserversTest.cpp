// The slice panels in the application: each panel shows the slice of its number and its controls
// act on it, and what the controller shows outside the panels follows the slices (the VFO
// controls, the heads-up switches, the memory window's antenna pop-ups, the mute of the other
// slices).
#include "ObserverFixture.h"

#include "app/panels/SlicePanelController.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/SlicePanel.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

class SliceObservers : public test::ObserverFixture {
protected:
    SlicePanel& panel(int index) {
        return controller->slicePanelControllers[std::size_t(index)]->panel();
    }
};

TEST_F(SliceObservers, EachPanelShowsTheSliceOfItsNumberAndActsOnIt) {
    const auto b = boundSlice(1, [](Slice& s) { s.sliceAudioLevel.store(30); });
    EXPECT_EQ(panel(1).volumeSlider->doubleValue(), 30);
    EXPECT_EQ(panel(0).volumeSlider->doubleValue(), 0);
    const std::size_t start = sent().size();
    panel(1).volumeSlider->setDoubleValue(40);
    panel(1).volumeSlider->sendAction();
    EXPECT_EQ(sentSince(start), std::vector<std::string>{"audio client 0 slice 1 gain 40"});
    EXPECT_EQ(b->sliceAudioLevel(), 40);
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
        prefsControl<CheckBox>("muteAlternateVFOCheckBox").setState(muteAlternate);
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

TEST_F(SliceObservers, FmAndPeakFilterControlsFollowTheSlicesMode) {
    auto fmControls = [](SlicePanel& p) {
        return std::vector<QWidget*>{p.squelchCheckBox,      p.squelchSlider,
                                     p.fmToneModePopup,      p.fmToneFreqPopup,
                                     p.fmRepeaterOffsetText, p.repeaterOffsetDirPopup,
                                     p.fmToneBurstCheckBox};
    };
    auto expectEnabled = [&](SlicePanel& p, bool fm, bool cw, const std::string& mode) {
        for (QWidget* control : fmControls(p)) {
            EXPECT_EQ(control->isEnabled(), fm)
                << mode << " " << control->objectName().toStdString();
        }
        EXPECT_EQ(p.apfSlider->isEnabled(), cw) << mode;
        EXPECT_EQ(p.apfCheckBox->isEnabled(), cw) << mode;
    };
    // Launched without slices: every panel's mode controls are off.
    expectEnabled(panel(0), false, false, "no slice");
    const auto a = boundSlice(0, [](Slice& s) { s.sliceMode.store(std::string("USB")); });
    const struct {
        const char* mode;
        bool fm, cw;
    } modes[] = {{"USB", false, false}, {"FM", true, false}, {"DFM", true, false},
                 {"CWL", false, true},  {"CW", false, true}, {"LSB", false, false}};
    for (const auto& m : modes) {
        a->sliceMode.set(std::string(m.mode));
        expectEnabled(panel(0), m.fm, m.cw, m.mode);
    }
    expectEnabled(panel(2), false, false, "panel C without a slice");
}

TEST_F(SliceObservers, TheMemoryWindowsAntennaPopupsFollowTheSlice) {
    const auto slice = boundSlice(1);
    for (PopUpButton* popup :
         {controller->memoryPanel->rxAntPopups[1], controller->memoryPanel->txAntPopups[1]}) {
        popup->clear();
        popup->addItems({"ANT1", "RX_A"});
    }
    slice->sliceRxAnt.set("rx_a");
    slice->sliceTxAnt.set("ant1");
    EXPECT_EQ(controller->memoryPanel->rxAntPopups[1]->title(), "RX_A");
    EXPECT_EQ(controller->memoryPanel->txAntPopups[1]->title(), "ANT1");
}

TEST_F(SliceObservers, TheVfoFieldsFollowTheActiveAndAlternateSliceAfterTheHandler) {
    const auto a = boundSlice(0, [](Slice& s) {
        s.sliceActive.store(true);
        s.sliceFrequency.store("14.000000");
        s.sliceMode.store("USB");
        s.indexLetter.store("A");
    });
    const auto b = boundSlice(1, [](Slice& s) {
        s.sliceActive.store(false);
        s.sliceFrequency.store("7.000000");
        s.indexLetter.store("B");
    });
    const auto c = boundSlice(2, [](Slice& s) { s.sliceActive.store(false); });
    MainControlsBar& vfo = *controller->mainControls;
    vfo.vfo_mode->addItems({"USB", "LSB", "CW"});
    test::mainQueueBarrier();
    const auto before = controller->lastTuningChange;

    b->sliceFrequency.set("7.100000");
    EXPECT_DOUBLE_EQ(panel(1).freqText->doubleValue(), 7.1);
    test::mainQueueBarrier();
    EXPECT_DOUBLE_EQ(vfo.vfo_alt_mhz->doubleValue(), 7.1);
    EXPECT_EQ(vfo.vfoAltText->text(), "B");
    a->sliceFrequency.set("14.200000");
    test::mainQueueBarrier();
    EXPECT_DOUBLE_EQ(vfo.vfo_mhz->doubleValue(), 14.2);

    // Neither active nor alternate: its panel and the tuning time still follow.
    c->sliceFrequency.set("21.000000");
    EXPECT_DOUBLE_EQ(panel(2).freqText->doubleValue(), 21.0);
    EXPECT_GT(controller->lastTuningChange, before);
    test::mainQueueBarrier();
    EXPECT_DOUBLE_EQ(vfo.vfo_mhz->doubleValue(), 14.2);
    EXPECT_DOUBLE_EQ(vfo.vfo_alt_mhz->doubleValue(), 7.1);

    // The mode pop-up shows the active slice's mode, whichever slice changed.
    c->sliceMode.set("CW");
    EXPECT_EQ(vfo.vfo_mode->title(), "USB");
    a->sliceMode.set("LSB");
    EXPECT_EQ(vfo.vfo_mode->title(), "LSB");
}

// The radio's first lines of A (active) and B (inactive) come in either order: the main field
// shows A, the alternate field B.
TEST_F(SliceObservers, TheMainVfoShowsTheActiveSliceWhicheverSliceReportsLast) {
    for (const bool activeFirst : {true, false}) {
        SCOPED_TRACE(activeFirst ? "A's line first" : "B's line first");
        controller->doroSlices.clear();
        MainControlsBar& vfo = *controller->mainControls;
        vfo.vfo_mhz->setDoubleValue(0);
        vfo.vfo_alt_mhz->setDoubleValue(0);
        const auto fillA = [](Slice& s) {
            s.sliceActive.store(true);
            s.sliceFrequency.store("14.030000");
            s.indexLetter.store("A");
        };
        const auto fillB = [](Slice& s) {
            s.sliceActive.store(false);
            s.sliceFrequency.store("7.010000");
            s.indexLetter.store("B");
        };
        if (activeFirst) {
            boundSlice(0, fillA);
            boundSlice(1, fillB);
        } else {
            boundSlice(1, fillB);
            boundSlice(0, fillA);
        }
        test::mainQueueBarrier();
        EXPECT_DOUBLE_EQ(vfo.vfo_mhz->doubleValue(), 14.03);
        EXPECT_DOUBLE_EQ(vfo.vfo_alt_mhz->doubleValue(), 7.01);
        EXPECT_EQ(vfo.vfoAltText->text(), "B");
    }
}

TEST_F(SliceObservers, TheRitSwitchLightsTheHudOnlyForTheActiveSlice) {
    const auto a = boundSlice(0, [](Slice& s) { s.sliceActive.store(true); });
    const auto b = boundSlice(1, [](Slice& s) { s.sliceActive.store(false); });
    b->sliceRitEnabled.set(true);
    EXPECT_TRUE(panel(1).ritButton->state());
    EXPECT_FALSE(controller->hud->hudRitButton->state());
    a->sliceRitEnabled.set(true);
    EXPECT_EQ(controller->hud->hudRitButton->image(), controller->blueBulb);
    a->sliceXitEnabled.set(true);
    EXPECT_TRUE(controller->hud->hudXitButton->state());
    EXPECT_EQ(controller->hud->hudXitButton->image(), controller->orangeBulb);
    a->sliceXitEnabled.set(false);
    EXPECT_EQ(controller->hud->hudXitButton->image(), controller->greyBulb);
}

}  // namespace
}  // namespace vm
