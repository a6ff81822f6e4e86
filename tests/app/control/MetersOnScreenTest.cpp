// The meters and the windows against the simulated radio, with the application offscreen: the
// heads-up display reads the active slice's S-meter and, while the radio transmits, its forward
// power; the Meters tab lists the meters of the chosen source with their labels; the quick
// recorder's times in slice panel A; closing a panadapter window gives its panadapter back to the
// radio.
#include "ConnectingFixture.h"

#include "app/panels/PanadapterController.h"
#include "app/panels/SlicePanelController.h"
#include "app/shell/QuickRecordDisplay.h"
#include "app/windows/HudWindow.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/SlicePanel.h"
#include "display/Panafall.h"
#include "objects/Slice.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/LevelIndicator.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Screenshot.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"
#include "support/sim/SimVita.h"

#include <QLabel>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::runEventsUntil;

constexpr std::uint32_t kPan = 0x40000000;

class MetersOnScreen : public test::ConnectingFixture {
protected:
    std::string ours() const { return "client_handle=0x" + sim->identity().handle; }

    // The radio's meters (the slice's level, the transmitter's forward power and SWR, two of the
    // radio's own), then its panadapter on 20 m with slice 0 active on it.
    void reportSession() {
        for (const sim::MeterDefinition& meter :
             {sim::MeterDefinition{.number = 1, .name = "LEVEL", .description = "Signal strength"},
              sim::MeterDefinition{.number = 2,
              .source = "TX-",
              .name = "FWDPWR",
              .low = "0.0",
              .high = "60.0",
              .description = "RF power forward"},
              sim::MeterDefinition{.number = 3,
              .source = "TX-",
              .name = "SWR",
              .low = "1.0",
              .high = "999.0",
              .description = "RF SWR",
              .unit = "SWR"},
              sim::MeterDefinition{.number = 4,
              .source = "RAD",
              .name = "PATEMP",
              .low = "0.0",
              .high = "100.0",
              .description = "PA temperature",
              .unit = "degC"},
              sim::MeterDefinition{.number = 5,
              .source = "RAD",
              .name = "+13.8A",
              .low = "0.0",
              .high = "20.0",
              .description = "13.8 V supply",
              .unit = "Volts"}}) {
            ASSERT_TRUE(sim->sendStatus(sim::meterStatus(meter)));
        }
        showPan(kPan, "center=14.100000 bandwidth=0.200000 band=20");
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(
            0, "in_use=1 RF_frequency=14.074000 mode=USB active=1 pan=0x40000000 " + ours())));
        ASSERT_TRUE(runEventsUntil(
            [&] { return panadapter(0).panafall && controller->activeVFO() != nullptr; }));
    }
    // A panadapter of this client with its waterfall, as the radio reports a new one.
    void showPan(std::uint32_t pan, const std::string& pairs) {
        const std::uint32_t waterfall = pan + 0x02000000;
        ASSERT_TRUE(sim->sendStatus(
            sim::panStatus(pan, pairs + " min_dbm=-130.00 max_dbm=-40.00 fps=25 waterfall=" +
                                    sim::streamIdText(waterfall) + " " + ours())));
        ASSERT_TRUE(sim->sendStatus(sim::waterfallStatus(waterfall, "line_duration=80")));
    }
    // Waits until the radio's earlier lines have reached the controls: a later line that moves
    // the panel's volume slider has been handled after them.
    void settle() {
        ASSERT_TRUE(
            sim->sendStatus(sim::sliceStatus(0, "audio_level=" + std::to_string(++level_))));
        ASSERT_TRUE(runEventsUntil([&] {
            return controller->slicePanelControllers[0]->panel().volumeSlider->doubleValue() ==
                   level_;
        }));
        test::mainQueueBarrier();
    }
    HudWindow& hud() { return *controller->hud; }
    QString hudText() { return hud().s_meter_text->text(); }
    int level_ = 10;
    QString slotText(int slot) {
        return prefsControl<QLabel>(QStringLiteral("meter_%1_Label").arg(slot).toLatin1().data())
            .text();
    }
};

TEST_F(MetersOnScreen, TheHudAndTheMetersTabShowTheRadiosMeters) {
    launch();
    connectAsGui();
    reportSession();
    ASSERT_TRUE(sim->waitForStreamDestination());

    // Receiving: the S-meter of slice 0.
    ASSERT_TRUE(sim->sendMeters({{1, -73 * 128}, {2, 0}, {3, 128}, {4, 45 * 64}, {5, 3533}}));
    ASSERT_TRUE(runEventsUntil([&] { return hudText() == "S9"; }));
    EXPECT_EQ(hud().s_meter_level_indicator->doubleValue(), 16);
    EXPECT_EQ(hud().s_meter_level_indicator->toolTip(), "-73.0 dBm");
    // The display is titled after the band of the panadapter under it.
    EXPECT_TRUE(runEventsUntil([&] { return hud().windowTitle().contains(" 20M"); }))
        << hud().windowTitle().toStdString();
    EXPECT_EQ(controller->hudOverPanafall, panadapter(0).panafall);

    // Transmitting: forward power, in dBm with the watts as the tool tip.
    ASSERT_TRUE(sim->sendStatus("interlock state=TRANSMITTING"));
    ASSERT_TRUE(sim->sendMeters({{2, 40 * 128}, {3, 192}}));
    ASSERT_TRUE(runEventsUntil([&] { return hudText() == "40 dBm"; }));
    EXPECT_EQ(hud().s_meter_level_indicator->toolTip(), "10.0 Watts");
    EXPECT_EQ(hud().s_meter_level_indicator->doubleValue(), 21);
    hud().show();
    test::saveScreenshot(hud(), QStringLiteral("hud_forward_power.png"));

    // The Meters tab: the radio's own meters by short name, then the transmitter's.
    PreferencesWindow& prefs = *controller->prefsWindow;
    prefs.show();
    prefsControl<QTabWidget>("prefsTabView").setCurrentIndex(6);
    auto& source = prefsControl<PopUpButton>("meterPanelPopUp");
    source.selectItemAtIndex(3);  // radio
    ASSERT_TRUE(runEventsUntil([&] { return slotText(2) == "PATEMP 45 (degC)"; }));
    EXPECT_TRUE(slotText(1).startsWith("+13.8A ")) << slotText(1).toStdString();
    EXPECT_EQ(prefsControl<LevelIndicator>("meter_2").toolTip(), "Radio: PA temperature");
    EXPECT_TRUE(prefsControl<LevelIndicator>("meter_3").isHidden());

    source.selectItemAtIndex(1);  // transmit
    ASSERT_TRUE(runEventsUntil([&] { return slotText(1) == "FWDPWR 40 (dBm)"; }));
    EXPECT_EQ(slotText(2), "SWR 1.50 (SWR)");
    EXPECT_EQ(prefsControl<LevelIndicator>("meter_2").doubleValue(), 4) << "over 1 to 5";
    test::saveScreenshot(prefs, QStringLiteral("prefs_meters_transmit.png"));

    // Back to receive.
    ASSERT_TRUE(sim->sendStatus("interlock state=READY"));
    ASSERT_TRUE(runEventsUntil([&] { return hudText() == "S9"; }));
}

TEST_F(MetersOnScreen, TheQuickRecorderCountsThePlaybackDownAndTheRecordingUp) {
    using namespace std::chrono_literals;
    launch();
    connectAsGui();
    reportSession();
    controller->appTimers.reset();  // the heartbeat shows the times of the wall clock
    SlicePanelController& panelA = *controller->slicePanelControllers[0];
    SlicePanel& controls = panelA.panel();
    const std::shared_ptr<Slice> slice = controller->getSliceA();
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "record_time=12.0")));
    ASSERT_TRUE(runEventsUntil([&] { return controls.qrLengthText->intValue() == 12; }));
    const QImage& green = controller->play_button_green;
    const QImage& black = controller->play_button_black;

    // Playing: the seconds left, and the play button green for half a second.
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "play=1")));
    ASSERT_TRUE(runEventsUntil([&] { return panelA.flashPlayBack(); }));
    settle();
    const auto played = panelA.playbackStarted();
    adjustQuickRecordDisplay(panelA, *slice, played + 4600ms, green, black);
    EXPECT_EQ(controls.qrLengthText->intValue(), 7);
    EXPECT_TRUE(controls.playbackButton->image() == green);
    advance(500ms);
    EXPECT_TRUE(runEventsUntil([&] { return controls.playbackButton->image() == black; }));
    adjustQuickRecordDisplay(panelA, *slice, played + 13s, green, black);
    EXPECT_EQ(controls.qrLengthText->intValue(), 7) << "no count below zero";

    // The playback ends inside a flash: the button keeps the green of a kept recording.
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "play=0")));
    ASSERT_TRUE(runEventsUntil([&] { return !panelA.flashPlayBack(); }));
    advance(500ms);
    EXPECT_TRUE(controls.playbackButton->image() == green);

    // Recording: the whole seconds since the panel last started one.
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "record=1")));
    ASSERT_TRUE(runEventsUntil([&] { return slice->sliceRecordEnabled().value_or(false); }));
    adjustQuickRecordDisplay(panelA, *slice, panelA.recordingStarted() + 7900ms, green, black);
    EXPECT_EQ(controls.qrLengthText->intValue(), 7);
}

TEST_F(MetersOnScreen, ClosingAPanadapterWindowRemovesItsPanadapter) {
    launch();
    connectAsGui();
    reportSession();
    showPan(kPan + 1, "center=7.100000 bandwidth=0.200000 band=40");
    ASSERT_TRUE(runEventsUntil([&] { return panadapter(1).panafall != nullptr; }));
    test::LogCapture log;

    PanadapterWindow& third = *panadapter(2).velmoraSDRWindow;
    third.show();
    third.close();  // shows no panadapter
    EXPECT_TRUE(log.contains("windowWillClose:could not remove panafall 2"));

    PanadapterWindow& second = *panadapter(1).velmoraSDRWindow;
    second.show();
    second.close();
    EXPECT_TRUE(log.contains("windowWillClose:removing panafall 1"));
    ASSERT_TRUE(runEventsUntil([&] { return sent("display pan remove 0x40000001"); }));
    EXPECT_FALSE(sent("display pan remove 0x40000000"));
}

}  // namespace
}  // namespace vm
