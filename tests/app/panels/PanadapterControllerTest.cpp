// A panadapter controller on its own, against the simulated radio: the radio's pan lines move the
// pan's controls and its settings page, both views take the panafall and show what the radio
// streams, and the radio's removal of the pan releases it. And the walks of the panadapter and
// waterfall key tables over a real panafall and waterfall.
#include "PanadapterSession.h"

#include "app/windows/PanadapterWindow.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Screenshot.h"
#include "support/KeyTableWalk.h"
#include "support/sim/SimLines.h"
#include "support/sim/SimRadio.h"
#include "util/VMKVOManager.h"

#include "display/PanSessionSupport.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <QImage>

namespace vm {
namespace {

using test::waitFor;

constexpr std::uint32_t kPanId = test::kSessionPan;
constexpr std::uint32_t kWaterfallId = test::kSessionWaterfall;

using test::PanadapterSession;

TEST_F(PanadapterSession, TheRadiosLinesMoveThePansControlsAndTheViewsShowItsStreams) {
    PanadapterWindow& window = *controller->velmoraSDRWindow;
    EXPECT_EQ(window.windowTitle(), "velmoraSDR 0x40000000");
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(controller->panafall, pan);
    EXPECT_EQ(controller->panAdapterView->myPanafall(), pan);
    EXPECT_EQ(controller->waterFallView->myPanafall(), pan);

    ASSERT_TRUE(sim->sendStatus(sim::panStatus(
        kPanId,
        "center=7.100000 bandwidth=0.100000 min_dbm=-120.00 max_dbm=-40.00 fps=15 average=30 "
        "band=40 wnb=1 wnb_level=55 daxiq=1 color_gain=45")));
    ASSERT_TRUE(waitFor([&] {
        return controls().bandText->stringValue() == "7.100" &&
               controller->waterFallView->colorGain() == 45;
    }));
    EXPECT_EQ(controls().bandwidthText->stringValue(), "0.100");
    EXPECT_EQ(controls().minDbmText->stringValue(), "-120");
    EXPECT_EQ(controls().maxDbmText->stringValue(), "-40");
    EXPECT_EQ(controls().fpsText->intValue(), 15);
    EXPECT_EQ(controls().averageSlider->doubleValue(), 30);
    EXPECT_TRUE(controls().wnbButton->state());
    EXPECT_EQ(controls().wnbLevelText->intValue(), 55);
    EXPECT_EQ(settings.daxIqPopup->title(), "1");
    EXPECT_EQ(host.tabLabels[0], "40 M");

    // The panadapter view draws the radio's frames, the waterfall view its lines.
    ASSERT_TRUE(sim->sendFftFrame(kPanId, std::vector<std::uint16_t>(400, 120), 1, 2));
    ASSERT_TRUE(waitFor([&] { return controller->panAdapterView->numFrameBins() == 400; }));
    sim::WaterfallTile line;
    line.firstPixelFreq = sim::tileFrequency(7.05);
    line.binBandwidth = sim::tileFrequency(0.1 / 200);
    line.width = 200;
    line.height = 1;
    line.totalBins = 200;
    line.lineDuration = 80;
    line.timecode = 1;
    line.data.assign(200, 3000);
    ASSERT_TRUE(sim->sendWaterfallLine(kWaterfallId, line, 2));
    ASSERT_TRUE(waitFor([&] { return controller->waterFallView->frameCount() >= 1; }));
}

TEST_F(PanadapterSession, TheRadiosRemovalReleasesThePanAndTheFirstWindowStays) {
    const std::shared_ptr<Waterfall> waterfall = pan->waterfall();
    ASSERT_TRUE(waterfall);
    ASSERT_TRUE(sim->sendStatus(sim::panStatus(kPanId, "removed")));
    ASSERT_TRUE(waitFor([&] { return !controller->panafall; }));
    EXPECT_FALSE(controller->panAdapterView->myPanafall());
    EXPECT_FALSE(controller->waterFallView->myPanafall());
    EXPECT_FALSE(pan->delegate());
    EXPECT_FALSE(waterfall->delegate());
    for (const auto& manager : {controller->panafallKVOManager, controller->waterfallKVOManager}) {
        ASSERT_TRUE(manager);
        EXPECT_FALSE(manager->registered());
    }
    EXPECT_TRUE(controller->velmoraSDRWindow->isVisible());

    // The released objects change: nothing follows them.
    pan->center.set(1.8f);
    waterfall->colorGain.set(90);
    test::mainQueueBarrier();
    EXPECT_NE(controls().bandText->stringValue(), "1.800");
    EXPECT_NE(controller->waterFallView->colorGain(), 90);
    EXPECT_FALSE(controller->cancelPanafalKVO(pan)) << "released once";
}

// A drag of the window's edge is a run of size changes: the radio hears the settled size once,
// and its next frame, rendered for that width, reaches the view's right edge.
TEST_F(PanadapterSession, ResizingThePanViewSendsItsSettledPixelsAndTheTraceFillsTheWidth) {
    ASSERT_TRUE(sim->sendStatus(
        sim::panStatus(kPanId, "center=14.100000 bandwidth=0.200000 min_dbm=-130 max_dbm=-40")));
    ASSERT_TRUE(waitFor([&] { return controls().bandText->stringValue() == "14.100"; }));
    const auto pixelCommands = [&] {
        std::vector<std::string> sent;
        for (const std::string& text : sim->commandTexts()) {
            if (text.starts_with("display panafall set 0x40000000 xpixels=")) {
                sent.push_back(text);
            }
        }
        return sent;
    };
    const std::size_t before = pixelCommands().size();

    PanadapterWindow& window = *controller->velmoraSDRWindow;
    PanAdapterView& view = *controller->panAdapterView;
    window.resize(window.width() + 150, window.height() + 40);
    window.resize(window.width() + 150, window.height() + 40);
    ASSERT_TRUE(waitFor([&] { return pixelCommands().size() > before; }));
    EXPECT_FALSE(view.resizing());
    const std::string expected = fmt::format(
        "display panafall set 0x40000000 xpixels={} ypixels={}", view.width(), view.height());
    EXPECT_EQ(pixelCommands().back(), expected);
    EXPECT_EQ(pixelCommands().size(), before + 1) << "one command for the whole drag";
    EXPECT_EQ(pan->panDimensions(), (PanSize{double(view.width()), double(view.height())}));

    const int middle = view.height() / 2;
    ASSERT_TRUE(sim->sendFftFrame(
        kPanId, std::vector<std::uint16_t>(std::size_t(view.width()), std::uint16_t(middle)), 1,
        3));
    ASSERT_TRUE(waitFor([&] { return view.numFrameBins() == std::uint32_t(view.width()); }));
    test::saveScreenshot(view, "panadapter_after_resize.png");
    QImage image(view.size(), QImage::Format_ARGB32);
    view.render(&image);
    const auto traceAt = [&](int x) {
        for (int y = middle - 1; y <= middle + 1; ++y) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.green() > 120 && pixel.red() < 100) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(traceAt(5));
    EXPECT_TRUE(traceAt(view.width() - 3)) << "the trace reaches the right edge";
}

// A centre of infinity or an empty span from the radio leaves the controls and the picture as
// they were; the radio's next good line still arrives.
TEST_F(PanadapterSession, NonFiniteRadioValuesChangeNothingOnScreen) {
    ASSERT_TRUE(sim->sendStatus(
        sim::panStatus(kPanId, "center=14.100000 bandwidth=0.200000 min_dbm=-130 max_dbm=-40")));
    ASSERT_TRUE(waitFor([&] { return controls().bandText->stringValue() == "14.100"; }));
    PanAdapterView& view = *controller->panAdapterView;
    ASSERT_TRUE(sim->sendFftFrame(kPanId, std::vector<std::uint16_t>(400, 60), 1, 2));
    ASSERT_TRUE(waitFor([&] { return view.numFrameBins() == 400; }));
    const QImage before = view.grab().toImage();

    ASSERT_TRUE(sim->sendStatus(
        sim::panStatus(kPanId, "center=1e400 bandwidth=0 min_dbm=-1e400 max_dbm=1e39")));
    ASSERT_TRUE(sim->sendStatus(sim::panStatus(kPanId, "fps=21")));
    ASSERT_TRUE(waitFor([&] { return controls().fpsText->intValue() == 21; }));
    EXPECT_EQ(controls().bandText->stringValue(), "14.100");
    EXPECT_EQ(controls().bandwidthText->stringValue(), "0.200");
    EXPECT_EQ(controls().minDbmText->stringValue(), "-130");
    EXPECT_EQ(controls().maxDbmText->stringValue(), "-40");
    EXPECT_EQ(view.grab().toImage(), before);
}

TEST(PanadapterKeyTables, EachRowNamesAPropertyItsObjectAnnouncesUnderItsKey) {
    EXPECT_EQ(PanadapterController::panafallKeyTable().size(), 16u);
    test::walkKeyTable(PanadapterController::panafallKeyTable(),
                       Panafall::create(nullptr, "0x40000000"));
    EXPECT_EQ(PanadapterController::waterfallKeyTable().size(), 4u);
    test::walkKeyTable(PanadapterController::waterfallKeyTable(),
                       Waterfall::create(nullptr, "0x42000000"));
}

}  // namespace
}  // namespace vm
