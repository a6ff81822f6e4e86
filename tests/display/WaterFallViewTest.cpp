// The waterfall view on Qt's offscreen platform: tiles handed over from the waterfall's queue,
// rows joined and pushed down, the picture at the pan's centre, auto black, the controls and
// their commands, and the heartbeat's texts. Pictures go to build/screenshots/.
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/WaterFallView.h"
#include "platform/core/Defaults.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/Screenshot.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/display/FakeDisplayController.h"
#include "util/VMKVOManager.h"

#include "DisplayTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace vm {
namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 480;
constexpr int kHeight = 240;

// A pan from 14.000 to 14.240 MHz rendered 480 pixels wide (0.5 kHz a pixel), with its waterfall.
class WaterFallViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        pan->updateWaterfallRef(waterfall);
        pan->center.set(14.12f);
        pan->bandwidth.set(0.24f);
        pan->panDimensions.set(PanSize{kWidth, 100});
        view = std::make_unique<WaterFallView>(controller);
        view->resize(kWidth, kHeight);
        view->adjustBitMap();
        view->setMyPanafall(pan);
        view->setMyPanAdapterView(view.get());
        view->setFrameStatus(&frameStatus);
        view->setColorGain(50);  // values from 8191 up are white
        waterfall->setDelegate(view->waterfallData());
    }
    void TearDown() override { test::mainQueueBarrier(); }

    // One line of `bins` bins of 0.5 kHz from 14.000 MHz, as the waterfall hands it over.
    static std::shared_ptr<WaterfallTile> tile(std::vector<std::uint16_t> bins, double fversion,
                                               std::uint16_t firstBin = 0, std::uint16_t total = 0,
                                               std::uint32_t timecode = 0) {
        auto t = std::make_shared<WaterfallTile>();
        t->firstPixelFreq = 14.0 + firstBin * 0.0005;
        t->binBandwidth = 0.0005;
        t->width = static_cast<std::uint16_t>(bins.size());
        t->height = 1;
        t->totalBinsInFrame = total;
        t->firstBinIndex = firstBin;
        t->timecode = timecode;
        t->fversion = fversion;
        t->waterFallBinData = std::move(bins);
        return t;
    }
    // Tiles delivered on the waterfall's own queue, then handed to the main thread.
    void deliver(const std::vector<std::shared_ptr<WaterfallTile>>& tiles) {
        waterfall->runQueue()->async([data = view->waterfallData(), tiles] {
            for (const auto& t : tiles) {
                data->waterfallTile(t);
            }
        });
        test::queueBarrier(waterfall->runQueue());
    }
    // The RGB bytes of a pixel of the picture.
    std::array<int, 3> pixel(int x, int y) const {
        const Bitmap& bitmap = view->waterFallBitMapRep();
        const std::uint8_t* p = bitmap.bytes() + y * bitmap.bytesPerRow() + x * 3;
        return {p[0], p[1], p[2]};
    }
    std::array<int, 3> mapColor(std::uint16_t value) const {
        std::uint8_t bytes[4];
        std::memcpy(bytes, &view->colorMap().entries()[value], 4);
        return {bytes[0], bytes[1], bytes[2]};
    }
    static constexpr std::array<int, 3> kBlue{0, 0, 255};
    static constexpr std::array<int, 3> kWhite{255, 255, 255};

    std::shared_ptr<test::RecordingLink> link = std::make_shared<test::RecordingLink>();
    std::shared_ptr<Panafall> pan = Panafall::create(link, "0x40000000");
    std::shared_ptr<Waterfall> waterfall = Waterfall::create(link, "0x42000000");
    test::FakeDisplayController controller;
    TextField frameStatus;
    std::unique_ptr<WaterFallView> view;
};

// A chirp: a strong signal whose bin climbs with every row, over weak noise.
std::vector<std::uint16_t> chirpRow(int row) {
    std::vector<std::uint16_t> bins(kWidth);
    for (int i = 0; i < kWidth; ++i) {
        bins[i] = static_cast<std::uint16_t>(2000 + (i * 7919 + row * 104729) % 1500);
    }
    const int peak = static_cast<int>(0.004 * row * row) % kWidth;
    for (int i = std::max(0, peak - 2); i <= std::min(kWidth - 1, peak + 2); ++i) {
        bins[i] = 60000;
    }
    return bins;
}

TEST_F(WaterFallViewTest, RowsPushThePictureDownNewestOnTop) {
    std::vector<std::shared_ptr<WaterfallTile>> tiles;
    constexpr int kRows = 300;  // more than the view is high
    for (int r = 0; r < kRows; ++r) {
        tiles.push_back(tile(chirpRow(r), 3.2));
    }
    deliver(tiles);
    EXPECT_EQ(view->frameCount(), static_cast<std::uint64_t>(kRows));
    EXPECT_EQ(view->rows().size(), kHeight) << "no more rows kept than the view is high";
    // Picture row y shows the row that came y rows before the newest.
    for (int y : {0, 1, 57, kHeight - 1}) {
        const int row = kRows - 1 - y;
        const int peak = static_cast<int>(0.004 * row * row) % kWidth;
        EXPECT_EQ(pixel(peak, y), kWhite) << "picture row " << y;
        const int quiet = (peak + kWidth / 2) % kWidth;
        EXPECT_EQ(pixel(quiet, y), mapColor(chirpRow(row)[quiet])) << "picture row " << y;
    }
    test::saveScreenshot(*view, "waterfall_chirp.png");

    // A moved centre: a full repaint shifts every row by the move (10 kHz = 20 pixels).
    pan->center.set(14.13f);
    view->drawFullWaterfall();
    const int newest = kRows - 1;
    const int peak = static_cast<int>(0.004 * newest * newest) % kWidth;
    EXPECT_EQ(pixel(peak - 20, 0), kWhite);
    test::saveScreenshot(*view, "waterfall_chirp_recentred.png");
}

TEST_F(WaterFallViewTest, ARowInThreeSegmentsIsDrawnOnceAndAnotherTimecodeIsDropped) {
    std::vector<std::uint16_t> bins(kWidth, 60000);
    const auto part = [&](int from, int to, std::uint32_t timecode) {
        return tile(std::vector<std::uint16_t>(bins.begin() + from, bins.begin() + to), 3.3,
                    static_cast<std::uint16_t>(from), kWidth, timecode);
    };
    deliver({part(0, 160, 9), part(160, 320, 9)});
    EXPECT_EQ(view->frameCount(), 0u);
    EXPECT_EQ(pixel(0, 0), kBlue) << "an incomplete row is not drawn";
    deliver({part(320, 480, 8)});
    EXPECT_EQ(view->frameCount(), 0u) << "a segment of another row is dropped";
    EXPECT_EQ(view->rows().at(0).width, 320);
    deliver({part(320, 480, 9)});
    EXPECT_EQ(view->frameCount(), 1u);
    EXPECT_EQ(view->rows().at(0).width, kWidth);
    for (int x : {0, 200, kWidth - 1}) {
        EXPECT_EQ(pixel(x, 0), kWhite) << x;
        EXPECT_EQ(pixel(x, 1), kBlue) << "pushed down once: " << x;
    }
}

TEST_F(WaterFallViewTest, TilesAreIgnoredBeforeStartUpAndEmptiedWhileResizing) {
    controller.startupComplete = false;
    deliver({tile(std::vector<std::uint16_t>(kWidth, 1), 3.2)});
    EXPECT_EQ(view->rows().size(), 0);
    EXPECT_FALSE(view->colorMap().exists());

    controller.startupComplete = true;
    deliver({tile(std::vector<std::uint16_t>(kWidth, 1), 3.2),
             tile(std::vector<std::uint16_t>(kWidth, 1), 3.2)});
    EXPECT_EQ(view->rows().size(), 2);
    view->setResizing(true);
    deliver({tile(std::vector<std::uint16_t>(kWidth, 1), 3.2)});
    EXPECT_EQ(view->rows().size(), 0) << "a row during a resize starts the picture afresh";

    // While the centre moves, rows are not stored and every tile repaints the stored ones.
    view->setResizing(false);
    deliver({tile(std::vector<std::uint16_t>(kWidth, 60000), 3.2)});
    view->setScrolling(true);
    deliver({tile(std::vector<std::uint16_t>(kWidth, 0), 3.2)});
    EXPECT_EQ(view->rows().size(), 1);
    EXPECT_EQ(pixel(5, 0), kWhite);
    EXPECT_EQ(pixel(5, 1), kBlue) << "below the stored rows a full repaint shows blue";

    // A new size makes a new blue picture without rows.
    view->resize(kWidth / 2, kHeight / 2);
    view->adjustBitMap();
    EXPECT_EQ(view->rows().size(), 0);
    EXPECT_EQ(view->waterFallBitMapRep().width(), kWidth / 2);
    EXPECT_EQ(pixel(5, 0), kBlue);
}

TEST_F(WaterFallViewTest, AutoBlackRebuildsTheMapBeforeTheRowIsDrawn) {
    Defaults::standard().set("linear_waterfall_color_sliders", PlistValue(true));
    view = std::make_unique<WaterFallView>(controller);
    view->resize(kWidth, kHeight);
    view->adjustBitMap();
    view->setMyPanafall(pan);
    Slider slider;
    TextField text;
    view->setControls({.blackLevelSlider = &slider, .blackLevelText = &text});
    view->setAutoBlackEnabled(true);
    view->setColorGain(100);
    auto t = tile(std::vector<std::uint16_t>(kWidth, 13150), 3.2);
    t->autoBlackLevel = 13107;
    deliver({t});
    EXPECT_EQ(view->blackLevel(), 13107);
    EXPECT_EQ(view->colorMap().lowThreshold(), 13107);
    EXPECT_EQ(view->colorMap().highThreshold(), 13207);
    EXPECT_EQ(pixel(0, 0), mapColor(13150)) << "drawn with the new map";
    EXPECT_NE(mapColor(13150), kBlue);
    EXPECT_EQ(slider.doubleValue(), 20.0);
    EXPECT_EQ(text.intValue(), 20);
    EXPECT_FALSE(waterfall->blackLevel().has_value()) << "the model's black level is not changed";
    Defaults::standard().remove("linear_waterfall_color_sliders");
}

// The controls send the model's commands; the model's changes move the controls and the map.
TEST_F(WaterFallViewTest, ControlsAndModelChanges) {
    struct Case {
        const char* name;
        bool linear;
        double percent;     // where the user leaves the black-level slider
        std::string level;  // the black level sent
    };
    // A linear slider at 50 sends 32768 (32767.5 rounded up); on a logarithmic one e^ln 20 is 20
    // within rounding.
    for (const Case& c :
         {Case{"logarithmic", false, 20, "13107"}, Case{"linear", true, 50, "32768"}}) {
        SCOPED_TRACE(c.name);
        if (c.linear) {
            Defaults::standard().set("linear_waterfall_color_sliders", PlistValue(true));
        }
        auto link2 = std::make_shared<test::RecordingLink>();
        auto waterfall2 = Waterfall::create(link2, "0x42000001");
        auto pan2 = Panafall::create(std::make_shared<test::RecordingLink>(), "0x40000001");
        pan2->updateWaterfallRef(waterfall2);
        WaterFallView controlled(controller);
        controlled.setMyPanafall(pan2);
        CheckBox autoBlack;
        Slider black, gain, duration;
        TextField blackText, gainText, durationText, fps;
        duration.setMaxValue(1000);
        controlled.setControls(
            {&autoBlack, &black, &blackText, &gain, &gainText, &duration, &durationText, &fps});
        EXPECT_EQ(controlled.useLogSliders(), !c.linear);
        const double top = c.linear ? 100.0 : std::log(100.0);
        EXPECT_EQ(black.maxValue(), top);
        EXPECT_EQ(gain.maxValue(), top);

        // The user's moves: the top of the gain slider is 100 (e^ln 100 within rounding).
        gain.setDoubleValue(top);
        gain.sendAction();
        black.setDoubleValue(c.linear ? c.percent : std::log(c.percent));
        black.sendAction();
        duration.setDoubleValue(100);
        duration.sendAction();
        autoBlack.setState(true);
        autoBlack.sendAction();
        waterfall2->runQueue()->sync([] {});
        EXPECT_EQ(link2->commands(), (std::vector<std::string>{
                                         "display panafall set 0x42000001 color_gain=100",
                                         "display panafall set 0x42000001 black_level=" + c.level,
                                         "display panafall set 0x42000001 line_duration=100",
                                         "display panafall set 0x42000001 auto_black=1"}));

        // The model's changes, bound as the application controller binds them.
        auto kvo = VMKVOManager::create();
        kvo->setKvoTargets({
            {"colorGain", VMKVOManager::handler(&WaterFallView::colorGainChanged)},
            {"blackLevel", VMKVOManager::handler(&WaterFallView::blackLevelChanged)},
            {"autoBlack", VMKVOManager::handler(&WaterFallView::autoBlackChanged)},
            {"lineDuration", VMKVOManager::handler(&WaterFallView::lineDurationChanged)},
        });
        const std::shared_ptr<void> target(&controlled, [](void*) {});
        kvo->initKVO(waterfall2, target);
        waterfall2->autoBlack.set(false);
        waterfall2->colorGain.set(50);
        waterfall2->blackLevel.set(13107);
        waterfall2->lineDuration.set(250);
        test::mainQueueBarrier();
        EXPECT_FALSE(autoBlack.state());
        EXPECT_EQ(controlled.colorMap().lowThreshold(), 13107);
        EXPECT_EQ(controlled.colorMap().highThreshold(), 19660);
        EXPECT_NEAR(c.linear ? gain.doubleValue() : gain.getLogValue(), 50, 1e-9);
        EXPECT_NEAR(c.linear ? black.doubleValue() : black.getLogValue(), 20, 1e-9);
        EXPECT_EQ(gainText.intValue(), 50);
        EXPECT_EQ(blackText.intValue(), 20);
        EXPECT_EQ(duration.doubleValue(), 250);
        EXPECT_EQ(durationText.intValue(), 250);

        // With auto black on, the model's black level moves the controls but not the map.
        waterfall2->autoBlack.set(true);
        waterfall2->blackLevel.set(0);
        test::mainQueueBarrier();
        EXPECT_EQ(controlled.colorMap().lowThreshold(), 13107);
        EXPECT_EQ(blackText.intValue(), 0);
        kvo->cancelKVO();
        Defaults::standard().remove("linear_waterfall_color_sliders");
    }
}

TEST_F(WaterFallViewTest, HeartbeatShowsTheTileRateAndItsCollapse) {
    TextField fps;
    view->setControls({.waterfallFpsText = &fps});
    controller.startupComplete = false;
    EXPECT_FALSE(view->heartBeatTimer(false, true));
    EXPECT_EQ(frameStatus.stringValue(), "Starting up");

    controller.startupComplete = true;
    view->heartBeatTimer(false, true);  // starts the count
    // 300 rows in 100 s of dispatch time (the real time the test takes adds too little to show
    // in two digits).
    std::vector<std::shared_ptr<WaterfallTile>> tiles;
    for (int i = 0; i < 300; ++i) {
        tiles.push_back(tile(std::vector<std::uint16_t>(kWidth, 1), 3.2));
    }
    deliver(tiles);
    DispatchClock::advance(100s);
    EXPECT_TRUE(view->heartBeatTimer(false, true));
    EXPECT_EQ(fps.stringValue(), "WF tps: 3");
    EXPECT_EQ(frameStatus.stringValue(), "");

    // No rows for 20 s: a warning only when lines are longer than 50 ms.
    struct Case {
        int lineDuration;
        bool shown;
        std::string status;
    };
    for (const Case& c :
         {Case{100, false, "Waterfall tile rate dropped to 0.00 tps"}, Case{50, true, ""}}) {
        waterfall->lineDuration.set(c.lineDuration);
        DispatchClock::advance(20s);
        EXPECT_EQ(view->heartBeatTimer(false, true), c.shown) << c.lineDuration;
        EXPECT_EQ(fps.stringValue(), "WF tps: 0");
        EXPECT_EQ(frameStatus.stringValue(), c.status);
    }
    fps.setStringValue("kept");
    EXPECT_TRUE(view->heartBeatTimer(true, true)) << "no rate while transmitting";
    EXPECT_EQ(fps.stringValue(), "kept");

    // Disconnected: the rows go and the picture is blue again.
    EXPECT_GT(view->rows().size(), 0);
    EXPECT_FALSE(view->heartBeatTimer(false, false));
    EXPECT_EQ(view->rows().size(), 0);
    EXPECT_EQ(pixel(3, 0), kBlue);
}

TEST_F(WaterFallViewTest, LogsTheFirstTileAndRefusesTilesWithoutAPicture) {
    test::LogCapture log;
    deliver({tile(std::vector<std::uint16_t>(kWidth, 1), 3.2), nullptr});
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "waterfallTile: first tile: streamId: 0x42000000 dispatch_queue: "
                               "com.velmorasoftware.vmsdr.waterfallQueue-0x42000000",
                               "waterfallTile:null tile"}));
    // A view with no room logs its busy state once per spell, not once per tile.
    const auto lines = log.lines().size();
    const auto busySpell = [&] {
        view->resize(0, 0);
        view->adjustBitMap();
        deliver({tile(std::vector<std::uint16_t>(kWidth, 1), 3.2),
                 tile(std::vector<std::uint16_t>(kWidth, 2), 3.2),
                 tile(std::vector<std::uint16_t>(kWidth, 3), 3.2)});
    };
    busySpell();
    EXPECT_EQ(log.lines().size(), lines + 1);
    EXPECT_EQ(log.lines().back(), "waterfallTile:bit map busy");
    view->resize(kWidth, kHeight);
    view->adjustBitMap();
    deliver({tile(std::vector<std::uint16_t>(kWidth, 4), 3.2)});
    busySpell();
    EXPECT_EQ(log.lines().size(), lines + 2) << "a new spell logs once more";
    EXPECT_EQ(log.lines().back(), "waterfallTile:bit map busy");
}

}  // namespace
}  // namespace vm
