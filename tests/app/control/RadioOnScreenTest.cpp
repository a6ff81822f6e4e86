// The radio on screen, end to end against the simulated radio with the application offscreen:
// the radio's panadapter and waterfall reach the first window, slice 0 fills panel A and the VFO
// controls, the radio's later status lines move the controls, a slice with no panel is listed but
// not observed, closing the session leaves no observer of it behind, and the controls that need
// a radio are usable only while one is open. The panadapter views open the panadapter menu, and
// the radio's spots box empties the radio's spots.
#include "ConnectingFixture.h"

#include "app/panels/SlicePanelController.h"

#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/PanControls.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/SlicePanel.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "objects/Slice.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/Menu.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/Screenshot.h"
#include "radio/Radio.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"
#include "support/sim/SimVita.h"
#include "util/VMKVOManager.h"

#include <QPainter>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <mutex>

namespace vm {
namespace {

using test::runEventsUntil;

constexpr std::uint32_t kPan = 0x40000000;
constexpr std::uint32_t kWaterfall = 0x42000000;

std::size_t linesWith(const test::LogCapture& capture, const std::string& text) {
    const auto lines = capture.lines();
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(),
                      [&](const auto& line) { return line.find(text) != line.npos; }));
}

class RadioOnScreen : public test::ConnectingFixture {
protected:
    std::string ours() const { return "client_handle=0x" + sim->identity().handle; }
    SlicePanel& panelA() { return controller->slicePanelControllers[0]->panel(); }
    // A sample of what needs a radio: panel A's controls, the tuning controls of the main window
    // and the heads-up display, and pan 0's display controls.
    std::vector<QWidget*> sessionControls() {
        const MainControlsBar& bar = *controller->mainControls;
        return {panelA().volumeSlider,
                panelA().muteCheckBox,
                panelA().filterLoStepper,
                panelA().rxAntPopup,
                panelA().ritButton,
                bar.vfo_mhz,
                bar.vfo_mode,
                bar.vfoSteppir,
                bar.split_popup,
                bar.bandButtons[5],
                bar.volumeStepper,
                controller->hud->hudRitButton,
                panadapter(0).panControls->bandwidthSlider};
    }
    bool anySessionControlEnabled() {
        const auto controls = sessionControls();
        return std::any_of(controls.begin(), controls.end(),
                           [](const QWidget* control) { return control->isEnabled(); });
    }
    bool allSessionControlsEnabled() {
        const auto controls = sessionControls();
        return std::all_of(controls.begin(), controls.end(),
                           [](const QWidget* control) { return control->isEnabled(); });
    }

    // What the radio reports for this client once bound: its panadapter on 20 m with the
    // waterfall, slice 0 in USB on it, and slice 5, which has no panel.
    void reportSession() {
        ASSERT_TRUE(sim->sendStatus(sim::panStatus(
            kPan,
            "center=14.100000 bandwidth=0.200000 band=20 min_dbm=-130.00 max_dbm=-40.00 "
            "fps=25 average=40 rfgain=0 waterfall=0x42000000 " +
                ours())));
        ASSERT_TRUE(sim->sendStatus(
            sim::waterfallStatus(kWaterfall, "line_duration=80 color_gain=60 auto_black=1")));
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(
            0,
            "in_use=1 RF_frequency=14.074000 mode=USB mode_list=LSB,USB,CW,AM,DIGU "
            "filter_lo=100 filter_hi=2900 active=1 audio_level=50 agc_mode=med "
            "rxant=ANT1 pan=0x40000000 index_letter=A " +
                ours())));
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(
            5, "in_use=1 RF_frequency=14.200000 mode=CW audio_level=20 " + ours())));
        ASSERT_TRUE(runEventsUntil([&] {
            return panadapter(0).panafall && controller->doroSlices.size() == 2 &&
                   panelA().freqText->doubleValue() > 14;
        }));
    }

    // Waterfall lines across the pan: a noise floor with two carriers, one under slice 0.
    void sendWaterfallLines(int count) {
        ASSERT_TRUE(sim->waitForStreamDestination());
        constexpr int kBins = 800;
        std::uint32_t seed = 7;
        for (int line = 0; line < count; ++line) {
            sim::WaterfallTile tile;
            tile.firstPixelFreq = sim::tileFrequency(14.0);
            tile.binBandwidth = sim::tileFrequency(0.2 / kBins);
            tile.lineDuration = 80;
            tile.width = kBins;
            tile.height = 1;
            tile.totalBins = kBins;
            tile.timecode = static_cast<std::uint32_t>(line + 1);
            tile.autoBlack = 3000;
            for (int bin = 0; bin < kBins; ++bin) {
                seed = seed * 1103515245u + 12345u;
                const double noise = 3000 + double((seed >> 16) % 1400);
                const bool carrier = std::abs(bin - 296) < 3 || std::abs(bin - 600) < 2;
                const bool keyed = std::abs(bin - 450) < 12 && (line / 4) % 3 != 0;
                tile.data.push_back(static_cast<std::uint16_t>(carrier ? 9000
                                                               : keyed ? 7000
                                                                       : noise));
            }
            ASSERT_TRUE(sim->sendWaterfall(kWaterfall, tile));
        }
    }

    // One spectrum frame as wide as the panadapter view: each bin the pixels down from its top,
    // a noise floor with the same two carriers.
    void sendSpectrum(const PanAdapterView& view) {
        const int width = std::max(view.width(), 1);
        const int height = std::max(view.height(), 1);
        std::vector<std::uint16_t> bins;
        std::uint32_t seed = 11;
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const double at = 0.2 * x / width;  // MHz above 14.0
            const bool carrier = std::abs(at - 0.074) < 0.0008 || std::abs(at - 0.150) < 0.0005;
            const double down = carrier ? 0.3 * height : 0.72 * height + double((seed >> 16) % 12);
            bins.push_back(static_cast<std::uint16_t>(down));
        }
        ASSERT_TRUE(sim->sendFftFrame(kPan, bins, 1, 3));
    }

    // The first window and slice panel A side by side, as the operator sees them.
    void saveMainWindow(const QString& name) {
        PanadapterWindow& window = *panadapter(0).velmoraSDRWindow;
        QWidget& panel = panelA();
        panel.resize(panel.sizeHint().expandedTo(QSize(900, 330)));
        QImage image(QSize(window.width(), window.height() + panel.height()) * 2,
                     QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2.0);
        image.fill(Qt::white);
        QPainter painter(&image);
        window.render(&painter);
        panel.render(&painter, QPoint(0, window.height()));
        painter.end();
        ASSERT_TRUE(QDir().mkpath(QStringLiteral(VM_SCREENSHOT_DIR)));
        EXPECT_TRUE(image.save(QStringLiteral(VM_SCREENSHOT_DIR "/") + name, "PNG"));
    }
};

TEST_F(RadioOnScreen, TheRadiosPanadapterAndSliceZeroFillTheMainWindowAndPanelA) {
    launch();
    connectAsGui();
    reportSession();

    // The pan: its window shows the pan's stream, its controls and tab follow the panadapter.
    PanControls& controls = *panadapter(0).panControls;
    EXPECT_EQ(panadapter(0).panafall->streamId(), "0x40000000");
    // The heartbeat titles the pan's window and tab with the band of its centre.
    ASSERT_TRUE(runEventsUntil(
        [&] { return panadapter(0).velmoraSDRWindow->windowTitle() == "velmoraSDR 20M"; }));
    EXPECT_EQ(prefsControl<QTabWidget>("panadapterTabView").tabText(0), "20M");
    EXPECT_EQ(controls.bandText->stringValue(), "14.100");
    EXPECT_EQ(controls.bandwidthText->stringValue(), "0.200");
    EXPECT_EQ(controls.minDbmText->stringValue(), "-130");
    EXPECT_EQ(controls.fpsText->intValue(), 25);
    EXPECT_EQ(panadapter(0).waterFallView->myPanafall(), panadapter(0).panafall);
    ASSERT_TRUE(runEventsUntil([&] { return panadapter(0).waterFallView->colorGain() == 60; }));

    // Slice 0: panel A and the VFO controls.
    EXPECT_DOUBLE_EQ(panelA().freqText->doubleValue(), 14.074);
    EXPECT_EQ(controller->mainControls->vfo_mode->title(), "USB");
    EXPECT_DOUBLE_EQ(controller->mainControls->vfo_mhz->doubleValue(), 14.074);
    EXPECT_EQ(panelA().filterLoText->intValue(), 100);
    EXPECT_EQ(panelA().filterHiText->intValue(), 2900);
    EXPECT_EQ(panelA().filterText->stringValue(), "2.8 KHz");
    EXPECT_EQ(panelA().agcModePopup->title(), "MED");
    EXPECT_EQ(panelA().detachedText->text(), "20M");
    EXPECT_EQ(panelA().volumeSlider->doubleValue(), 50);

    // The radio's status line moves the slider.
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "audio_level=73")));
    ASSERT_TRUE(runEventsUntil([&] { return panelA().volumeSlider->doubleValue() == 73; }));
    EXPECT_EQ(panelA().volumeText->intValue(), 73);

    // Slice 5 is listed but bound to nothing: its changes reach no control and log no error.
    EXPECT_EQ(controller->doroSlices.back()->thisSliceNumber(), 5);
    test::LogCapture capture;
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(5, "audio_level=11 RF_frequency=7.000000")));
    ASSERT_TRUE(runEventsUntil([&] {
        return controller->doroSlices.back()->sliceFrequency() ==
               std::optional<std::string>("7.000000");
    }));
    test::mainQueueBarrier();
    for (const auto& panel : controller->slicePanelControllers) {
        EXPECT_NE(panel->panel().volumeSlider->doubleValue(), 11);
        EXPECT_NE(panel->panel().freqText->doubleValue(), 7.0);
    }
    EXPECT_FALSE(capture.contains(":Error"));

    // The waterfall paints the radio's lines.
    sendWaterfallLines(260);
    ASSERT_TRUE(runEventsUntil([&] { return panadapter(0).waterFallView->frameCount() >= 260; }));
    // The panadapter view above it is the pan's and draws the radio's spectrum.
    PanAdapterView& panView = *panadapter(0).panAdapterView;
    EXPECT_EQ(panView.myPanafall(), panadapter(0).panafall);
    EXPECT_EQ(panView.waterFallView(), panadapter(0).waterFallView);
    sendSpectrum(panView);
    ASSERT_TRUE(runEventsUntil([&] { return panView.numFrameBins() > 0; }));
    EXPECT_EQ(panView.numFrameBins(), std::uint32_t(std::max(panView.width(), 1)));
    panadapter(0).velmoraSDRWindow->repaint();
    saveMainWindow(QStringLiteral("radio_on_screen_main_window.png"));
}

TEST_F(RadioOnScreen, TheHeartbeatTitlesTheSliceTabsAndTheLightFollowsThePings) {
    launch();
    connectAsGui();
    reportSession();
    controller->prefsWindow->show();
    prefsControl<QTabWidget>("prefsTabView").setCurrentIndex(2);
    QTabWidget& slices = prefsControl<QTabWidget>("sliceTabView");
    ASSERT_TRUE(runEventsUntil([&] { return slices.tabText(0) == "Slice A"; }));
    EXPECT_EQ(slices.tabText(2), "Off");
    EXPECT_EQ(slices.tabText(3), "Off");

    // Slice 0 is active: the light no longer blinks yellow but green with each ping reply.
    ImageButton& light = *controller->mainControls->pollButton;
    ASSERT_TRUE(runEventsUntil([&] { return light.image() == controller->greenBulb; }));
}

TEST_F(RadioOnScreen, ClosingTheSessionLeavesNoObserverAndAReconnectBindsEachKeyOnce) {
    launch();
    connectAsGui();
    reportSession();
    const std::shared_ptr<Slice> oldSlice = controller->doroSlices.front();
    const std::shared_ptr<Panafall> oldPan = panadapter(0).panafall;
    const std::shared_ptr<Waterfall> oldWaterfall = oldPan->waterfall();

    controller->radioClosed();
    EXPECT_FALSE(controller->openRadio);
    EXPECT_TRUE(controller->doroSlices.empty());
    EXPECT_TRUE(controller->doroPanafalls.empty());
    EXPECT_FALSE(panadapter(0).panafall);
    EXPECT_FALSE(panadapter(0).waterFallView->myPanafall());
    EXPECT_FALSE(panadapter(0).panAdapterView->myPanafall());
    EXPECT_FALSE(oldWaterfall->delegate()) << "the view lets go of the old waterfall";
    for (const auto& manager :
         {controller->slicePanelControllers[0]->sliceKVOManager(), panadapter(0).panafallKVOManager,
          panadapter(0).waterfallKVOManager}) {
        ASSERT_TRUE(manager);
        EXPECT_FALSE(manager->registered());
        EXPECT_FALSE(manager->thisObject());
    }

    // The old session's objects change: no control follows, no notification binds them again.
    const double volume = panelA().volumeSlider->doubleValue();
    oldSlice->sliceAudioLevel.set(5);
    oldPan->center.set(7.2f);
    oldWaterfall->colorGain.set(1);
    NotificationCenter::defaultCenter().post("SliceCreated", oldSlice);
    NotificationCenter::defaultCenter().post("PanafallCreated", oldPan);
    test::mainQueueBarrier();
    EXPECT_EQ(panelA().volumeSlider->doubleValue(), volume);
    EXPECT_EQ(panadapter(0).panControls->bandText->stringValue(), "14.100");
    EXPECT_EQ(panadapter(0).waterFallView->colorGain(), 60);
    EXPECT_TRUE(controller->doroSlices.empty());

    // A new session: each notification and each change is handled once.
    test::LogCapture capture;
    prefsControl<CheckBox>("debug_enabled").setState(true);
    controller->radioStartupComplete = false;  // as the chooser clears it before an open
    connectAsGui();
    reportSession();
    EXPECT_EQ(linesWith(capture, "sliceCreatedNotification:Slice:[0 A] panForSlice:[0x40000000]"),
              1u);
    EXPECT_EQ(linesWith(capture,
                        "panafallCreatedNotification:streamID:[0x40000000] waterfall:[0x42000000]"
                        " clientHandle:[0x" +
                            sim->identity().handle + "]"),
              1u);
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "rit_freq=120")));
    ASSERT_TRUE(runEventsUntil([&] { return panelA().ritText->stringValue() == "120"; }));
    test::mainQueueBarrier();
    EXPECT_EQ(linesWith(capture, "sliceRitOffsetChanged:[0] sliceRitOffset:[120]"), 1u);
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "audio_level=64")));
    ASSERT_TRUE(runEventsUntil([&] { return panelA().volumeSlider->doubleValue() == 64; }));
}

TEST_F(RadioOnScreen, FineTuningStepsTheSliceAndCarriesThePanWhenTheSliceLeavesIt) {
    launch();
    connectAsGui();
    reportSession();
    const std::shared_ptr<Slice> slice = controller->getSliceA();
    ASSERT_TRUE(slice);

    controller->fineTuneHz(100, slice);
    EXPECT_TRUE(sim->waitForCommand("slice tune 0 14.074100 autopan=0"));
    EXPECT_FLOAT_EQ(panadapter(0).panafall->center().value_or(0), 14.1f);

    // 0.2 MHz up leaves the pan (14.0 to 14.2 MHz): its centre follows by what lies outside.
    controller->fineTuneHz(200000, slice);
    EXPECT_TRUE(sim->waitForCommand("slice tune 0 14.274100 autopan=0"));
    EXPECT_NEAR(panadapter(0).panafall->center().value_or(0), 14.1751, 1e-4);
    EXPECT_TRUE(panadapter(0).panAdapterView->scrolling());
    EXPECT_TRUE(runEventsUntil([&] { return !panadapter(0).panAdapterView->scrolling(); }));

    // In CW a step is a tenth: 10 Hz moves slice 5 by 1 Hz.
    controller->fineTuneHz(10, controller->sliceWithNumber(5));
    EXPECT_TRUE(sim->waitForCommand("slice tune 5 14.200001 autopan=0"));

    // A locked slice stays where it is (a setter would store the new frequency at once).
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "lock=1")));
    ASSERT_TRUE(runEventsUntil([&] { return slice->sliceLocked().value_or(false); }));
    controller->fineTuneHz(100, slice);
    EXPECT_EQ(slice->sliceFrequency(), std::optional<std::string>("14.274100"));
}

TEST_F(RadioOnScreen, RemovingOurResourcesAsksTheRadioForEachSliceAndPanadapterInOrder) {
    launch();
    controller->removeOurResourcesFromRadio();  // no radio open: nothing to ask
    connectAsGui();
    reportSession();
    const std::size_t start = sim->commandTexts().size();
    controller->removeOurResourcesFromRadio();
    test::commandBarrier(*controller->openRadio, *sim);
    const auto texts = sim->commandTexts();
    std::vector<std::string> removals;
    for (std::size_t i = start; i < texts.size(); ++i) {
        if (texts[i].find("remove") != std::string::npos) {
            removals.push_back(texts[i]);
        }
    }
    EXPECT_EQ(removals, (std::vector<std::string>{"slice remove 0", "slice remove 5",
                                                  "display pan remove 0x40000000"}));

    // The radio reports them gone: the lists empty themselves.
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(0, "in_use=0")));
    ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(5, "in_use=0")));
    ASSERT_TRUE(sim->sendStatus(sim::panStatus(kPan, "removed")));
    ASSERT_TRUE(runEventsUntil(
        [&] { return controller->doroSlices.empty() && controller->doroPanafalls.empty(); }));
    EXPECT_FALSE(panadapter(0).panafall);
    EXPECT_FALSE(controller->slicePanelControllers[0]->sliceKVOManager()->registered());
}

TEST_F(RadioOnScreen, AKilledRadioDimsTheViewsWithTheReasonAndARestartedOneIsOfferedAgain) {
    launch();
    EXPECT_FALSE(anySessionControlEnabled()) << "no radio yet";
    connectAsGui();
    reportSession();
    EXPECT_TRUE(allSessionControlsEnabled());
    sendWaterfallLines(120);
    ASSERT_TRUE(runEventsUntil([&] { return panadapter(0).waterFallView->frameCount() >= 120; }));
    PanAdapterView& panView = *panadapter(0).panAdapterView;
    WaterFallView& waterfall = *panadapter(0).waterFallView;
    const QPoint middle(waterfall.width() / 2, waterfall.height() / 4);

    ASSERT_TRUE(sim->closeSession());  // the radio is gone
    ASSERT_TRUE(runEventsUntil([&] { return controller->radioConnectionState == 9; }));
    advance(std::chrono::seconds(1));
    ASSERT_TRUE(runEventsUntil([&] { return controller->openRadio == nullptr; }));
    EXPECT_EQ(panView.offlineReason(), "Radio Disconnected");
    EXPECT_EQ(waterfall.offlineReason(), "Radio Disconnected");
    // The same last picture with and without the veil (lines still on their way when the radio
    // went may have changed it since it was live).
    const int dimmed = waterfall.grab().toImage().pixelColor(middle).lightness();
    waterfall.setOfflineReason({});
    const int undimmed = waterfall.grab().toImage().pixelColor(middle).lightness();
    waterfall.setOfflineReason(QStringLiteral("Radio Disconnected"));
    EXPECT_LT(dimmed, undimmed) << "the last picture is dimmed";
    EXPECT_FALSE(anySessionControlEnabled()) << "nothing that needs a radio stays usable";
    panadapter(0).velmoraSDRWindow->repaint();
    saveMainWindow(QStringLiteral("radio_gone_views_dimmed.png"));

    // The radio announces itself again: the chooser offers it, and a new session lifts the veil.
    ASSERT_TRUE(announce());
    ASSERT_TRUE(runEventsUntil([&] {
        const auto titles = chooserTitles();
        return std::find(titles.begin(), titles.end(), "SimRadio") != titles.end();
    }));
    connect();
    ASSERT_TRUE(sim->waitForSessions(2));
    ASSERT_TRUE(runEventsUntil([&] { return controller->radioStartupComplete; }));
    reportSession();
    EXPECT_TRUE(panView.offlineReason().isEmpty());
    EXPECT_TRUE(waterfall.offlineReason().isEmpty());
    EXPECT_TRUE(allSessionControlsEnabled()) << "the next session gives the controls back";
}

// The slice menus name the client's slices by number as the radio reports them, and the split
// pop-up shows slice B's offset whichever of its transmit and frequency lines comes first.
TEST_F(RadioOnScreen, TheSliceMenusAndTheSplitFollowTheSlicesWhicheverLineComesFirst) {
    launch();
    connectAsGui();
    reportSession();
    const MainMenus& menus = *controller->menus;
    const auto tags = [](const MenuItem* holder) {
        std::vector<int> numbers;
        for (int i = 0; i < holder->submenu()->numberOfItems(); ++i) {
            numbers.push_back(holder->submenu()->itemAtIndex(i)->tag());
        }
        return numbers;
    };
    EXPECT_EQ(tags(menus.vfoRemoveMenuItem), (std::vector<int>{0, 5}));
    EXPECT_EQ(tags(menus.removeSliceContextMenu), (std::vector<int>{0, 5}));
    EXPECT_FALSE(menus.shortcutsMenu->itemAtIndex(6)->isEnabled()) << "no slice B yet";
    // The pans offer their display controls while they show a panafall.
    EXPECT_TRUE(panadapter(0).panControls->bandwidthSlider->isEnabled());
    EXPECT_FALSE(panadapter(1).panControls->bandwidthSlider->isEnabled());
    EXPECT_TRUE(menus.panafallRemoveMenuItem->isEnabled());
    menus.vfoRemoveMenuItem->submenu()->itemWithTag(5)->performAction();
    test::commandBarrier(*controller->openRadio, *sim);
    const auto texts = sim->commandTexts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "slice remove 5"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "slice remove 0"), texts.end());

    ASSERT_TRUE(sim->sendStatus(
        sim::sliceStatus(1, "in_use=1 RF_frequency=14.074000 mode=USB active=0 tx=0 " + ours())));
    ASSERT_TRUE(runEventsUntil([&] { return controller->doroSlices.size() == 3; }));
    EXPECT_EQ(tags(menus.activeShortcutsMenu), (std::vector<int>{0, 1, 5}));
    EXPECT_TRUE(menus.shortcutsMenu->itemAtIndex(6)->isEnabled());

    PopUpButton& split = *controller->mainControls->split_popup;
    const auto showsSplit = [&] {
        return split.indexOfSelectedItem() == 7 && split.itemText(7) == QStringLiteral("2.5 kHz");
    };
    for (const auto& lines : {std::vector<std::string>{"tx=1", "RF_frequency=14.076500"},
                              std::vector<std::string>{"RF_frequency=14.076500", "tx=1"}}) {
        SCOPED_TRACE(lines.front());
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(1, "tx=0 RF_frequency=14.074000")));
        ASSERT_TRUE(runEventsUntil([&] { return split.indexOfSelectedItem() == 0; }));
        for (const auto& line : lines) {
            ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(1, line)));
        }
        EXPECT_TRUE(runEventsUntil(showsSplit));
    }
}

// Every panadapter view opens the panadapter menu, whose items follow the slices by position as it
// opens: slice A's item on, B's off, the swap and copies of A and B off without B.
TEST_F(RadioOnScreen, EveryPanadapterViewOpensThePanadapterMenuWhichFollowsTheSlices) {
    launch();
    connectAsGui();
    reportSession();
    Menu& menu = *controller->menus->panContextMenu;
    for (int pan = 0; pan < 4; ++pan) {
        EXPECT_EQ(panadapter(pan).panAdapterView->controls().panaviewContextMenu, &menu) << pan;
    }
    emit menu.aboutToShow();
    EXPECT_TRUE(menu.itemAtIndex(4)->isEnabled()) << "slice A";
    EXPECT_FALSE(menu.itemAtIndex(5)->isEnabled()) << "no slice B";
    for (const int item : {15, 16, 17}) {
        EXPECT_FALSE(menu.itemAtIndex(item)->isEnabled()) << item;
    }
    EXPECT_EQ(menu.itemAtIndex(15)->title(), "Swap Slices A and B");
    EXPECT_EQ(menu.itemAtIndex(19)->title(), "Add Slice");
}

// The radio's spots box empties the radio's spot list either way; switched on it subscribes to the
// radio's spots, switched off it sends nothing (the next switch on is the second subscription).
TEST_F(RadioOnScreen, TheRadiosSpotsBoxEmptiesTheSpotListAndSubscribesWhenOn) {
    launch();
    connectAsGui();
    const auto spotCount = [&] {
        std::lock_guard hold(controller->openRadio->radio_spots_lock()->mutex);
        return controller->openRadio->radio_spots()->size();
    };
    const auto addSpot = [&](const char* index) {
        ASSERT_TRUE(sim->sendStatus(
            sim::objectStatus("spot", index, "callsign=K1ABC rx_freq=14.025000 mode=CW")));
        ASSERT_TRUE(runEventsUntil([&] { return spotCount() == 1; }));
    };
    auto& box = prefsControl<CheckBox>("radioSpotsButton");
    ASSERT_FALSE(box.state());
    ASSERT_NO_FATAL_FAILURE(addSpot("1"));
    box.click();
    EXPECT_EQ(spotCount(), 0u);
    ASSERT_TRUE(runEventsUntil([&] { return count("sub spots all") == 1; }));

    ASSERT_NO_FATAL_FAILURE(addSpot("2"));
    box.click();
    EXPECT_FALSE(box.state());
    EXPECT_EQ(spotCount(), 0u);
    box.click();
    ASSERT_TRUE(runEventsUntil([&] { return count("sub spots all") == 2; }));
}

}  // namespace
}  // namespace vm
