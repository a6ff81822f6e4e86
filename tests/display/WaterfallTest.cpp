// The waterfall model on its own: its status table and lines, its setters, and the intake of
// tiles in both layouts with the timecode rule and tiles that do not fit their datagram.
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/StatusTableWalk.h"

#include "DisplayTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::LogCapture;
using test::RecordingLink;
using test::RecordingWaterfallView;

constexpr std::uint32_t kWaterfallId = 0x42000000;

TEST(WaterfallStatus, EveryKeyFindsItsRow) {
    test::walkStatusTable<Waterfall>(Waterfall::statusTable(),
                                     [] { return Waterfall::create(nullptr, "0x42000000"); });
}

TEST(WaterfallStatus, KeysAreStoredIgnoredOrLogged) {
    const auto waterfall = Waterfall::create(nullptr, "0x42000000");
    LogCapture capture;
    Scanner line(
        " x_pixels=640 panadaptor=40000000 line_duration=100 auto_black=Y "
        "gradient_index=3 wide=1 capacity=16 available=12 mystery=7");
    waterfall->statusParserImmediate(line, true);
    EXPECT_EQ(waterfall->xPixels(), 100) << "x_pixels changes nothing";
    EXPECT_EQ(waterfall->panadaptorId(), "0x40000000");
    EXPECT_EQ(waterfall->lineDuration(), 100);
    EXPECT_EQ(waterfall->autoBlack(), true);
    EXPECT_EQ(waterfall->gradientIndex(), 3);
    // Declared for the radio's wide state and numbers, which no key fills.
    EXPECT_EQ(waterfall->wide(), std::nullopt);
    EXPECT_EQ(waterfall->capacity(), std::nullopt);
    EXPECT_EQ(waterfall->available(), std::nullopt);
    EXPECT_EQ(capture.lines(), std::vector<std::string>{
                                   "Waterfall:statusParser:Unrecognized key:[mystery] value:[7]"});
    test::mainQueueBarrier();
}

TEST(WaterfallCommands, SettersSendTheirCommandsFromTheWaterfallsQueue) {
    const auto link = std::make_shared<RecordingLink>();
    const auto waterfall = Waterfall::create(link, "0x42000000");
    waterfall->setLineDuration(80);
    waterfall->setAutoBlack(true);
    waterfall->setColorGain(55);
    waterfall->setBlackLevel(15);
    waterfall->setGradientIndex(1);
    test::queueBarrier(waterfall->runQueue());
    EXPECT_EQ(link->commands(), (std::vector<std::string>{
                                    "display panafall set 0x42000000 line_duration=80",
                                    "display panafall set 0x42000000 auto_black=1",
                                    "display panafall set 0x42000000 color_gain=55",
                                    "display panafall set 0x42000000 black_level=15",
                                    "display panafall set 0x42000000 gradient_index=1",
                                }));
    EXPECT_EQ(waterfall->colorGain(), 55);

    waterfall->updateXPixelSize(1200);
    EXPECT_EQ(waterfall->xPixels(), 1200);
    test::advanceBarrier(DispatchQueue::main(), 1ms);
}

sim::WaterfallTile tileOf(std::uint16_t width, std::uint16_t height, std::uint32_t timecode,
                          bool olderLayout = false) {
    sim::WaterfallTile tile;
    tile.firstPixelFreq = sim::tileFrequency(14.0);
    tile.binBandwidth = sim::tileFrequency(0.000125);
    tile.lineDuration = 100;
    tile.width = width;
    tile.height = height;
    tile.timecode = timecode;
    tile.autoBlack = 1234;
    tile.totalBins = 2048;
    tile.firstBin = 512;
    for (std::uint32_t i = 0; i < std::uint32_t{width} * height; ++i) {
        tile.data.push_back(static_cast<std::uint16_t>(0x0100 + i));
    }
    tile.olderLayout = olderLayout;
    return tile;
}

TEST(WaterfallStream, TilesInBothLayoutsAndTilesThatDoNotFit) {
    sim::WaterfallTile cut = tileOf(3, 2, 1);
    cut.data.pop_back();
    sim::WaterfallTile huge = tileOf(0, 0, 1);
    huge.width = 65535;
    huge.height = 65535;
    const struct {
        const char* name;
        double fversion;
        std::string payload;
        bool delivered;
        std::string logged;
    } cases[] = {
        {"layout 3.3", 3.3, sim::waterfallPayload(tileOf(3, 2, 1)), true, ""},
        {"older layout", 3.2, sim::waterfallPayload(tileOf(3, 2, 1, true)), true, ""},
        {"empty tile", 3.3, sim::waterfallPayload(tileOf(0, 4, 1)), true, ""},
        {"data cut short", 3.3, sim::waterfallPayload(cut), false,
         "Waterfall:streamHandler:discard oversize tile: tile.timecode:[1] width:[3] height:[2] "
         "tileBufferLength:[12]"},
        {"size beyond 32 bits", 3.3, sim::waterfallPayload(huge), false,
         "Waterfall:streamHandler:discard oversize tile: tile.timecode:[1] width:[65535] "
         "height:[65535] tileBufferLength:[8589672450]"},
        {"header cut short", 3.3, sim::waterfallPayload(tileOf(1, 1, 1)).substr(0, 34), false,
         "Waterfall:streamHandler:discard short tile: payload:[34] header:[36]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto waterfall = Waterfall::create(nullptr, "0x42000000");
        const auto view = std::make_shared<RecordingWaterfallView>(waterfall->runQueue());
        waterfall->setDelegate(view);
        LogCapture capture;
        waterfall->streamHandler(
            test::streamPacket(sim::kClassWaterfall, kWaterfallId, c.payload, c.fversion));
        test::queueBarrier(waterfall->runQueue());
        EXPECT_EQ(capture.lines(), c.logged.empty() ? std::vector<std::string>{}
                                                    : std::vector<std::string>{c.logged});
        ASSERT_EQ(view->count(), c.delivered ? 1u : 0u);
        if (!c.delivered) {
            continue;
        }
        const WaterfallTile& tile = *view->tiles().front();
        const bool layout33 = c.fversion >= 3.3;
        EXPECT_DOUBLE_EQ(tile.firstPixelFreq, 14.0);
        EXPECT_DOUBLE_EQ(tile.binBandwidth, 0.000125);
        EXPECT_EQ(tile.lineDuration, 100u);
        EXPECT_EQ(tile.timecode, 1u);
        EXPECT_EQ(tile.autoBlackLevel, 1234u);
        EXPECT_EQ(tile.totalBinsInFrame, layout33 ? 2048 : 0);
        EXPECT_EQ(tile.firstBinIndex, layout33 ? 512 : 0);
        EXPECT_DOUBLE_EQ(tile.fversion, c.fversion);
        EXPECT_EQ(tile.waterFallBinData.size(), std::size_t{tile.width} * tile.height);
        if (tile.width == 3) {
            EXPECT_EQ(tile.waterFallBinData,
                      (std::vector<std::uint16_t>{0x100, 0x101, 0x102, 0x103, 0x104, 0x105}));
        }
    }
}

TEST(WaterfallStream, ALowerTimecodeIsDroppedWithOrWithoutAView) {
    const auto waterfall = Waterfall::create(nullptr, "0x42000000");
    const auto send = [&](std::uint32_t timecode) {
        waterfall->streamHandler(test::streamPacket(sim::kClassWaterfall, kWaterfallId,
                                                    sim::waterfallPayload(tileOf(1, 1, timecode)),
                                                    3.3));
    };
    send(6);  // no view: the timecode still moves
    send(5);
    EXPECT_EQ(waterfall->timecode(), 6u);
    EXPECT_EQ(waterfall->droppedTiles(), 1u);

    const auto view = std::make_shared<RecordingWaterfallView>();
    waterfall->setDelegate(view);
    send(5);
    send(6);
    test::queueBarrier(waterfall->runQueue());
    EXPECT_EQ(waterfall->droppedTiles(), 2u);
    ASSERT_EQ(view->count(), 1u);
    EXPECT_EQ(view->tiles().front()->timecode, 6u);
}

TEST(WaterfallStream, TheHeaderDumpShowsThirtySixBytes) {
    LogCapture capture;
    Waterfall::dumpWFHead(test::streamPacket(sim::kClassWaterfall, kWaterfallId,
                                             sim::waterfallPayload(tileOf(1, 1, 2)), 3.3));
    const auto lines = capture.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].substr(0, 30), "dumpWFHead: v3.3 message: [00 ");
    EXPECT_TRUE(lines[1].ends_with("33 34 35 ]"));
    EXPECT_TRUE(lines[2].ends_with("08 00 02 00 ]")) << "total bins 2048, first bin 512";
    EXPECT_TRUE(lines[3].ends_with("00 08 00 02 ]"));
}

}  // namespace
}  // namespace vm
