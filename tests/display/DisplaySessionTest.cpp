// Panadapters and waterfalls against the simulated radio on loopback: a requested panadapter and
// its waterfall, FFT frames and waterfall tiles in both firmware layouts, removal, and the exact
// commands of the setters.
#include "attach/RadioObjects.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "radio/VitaManager.h"
#include "support/QueueBarrier.h"
#include "support/sim/SimLines.h"
#include "support/sim/SimRadio.h"

#include "DisplayTestSupport.h"
#include "objects/ObjectsTestSupport.h"
#include "radio/SimSessionFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace vm {
namespace {

using test::NotificationRecorder;
using test::RecordingPanView;
using test::RecordingWaterfallView;
using test::waitFor;

constexpr std::uint32_t kPan = 0x40000000;
constexpr std::uint32_t kWaterfall = 0x42000000;

class DisplaySession : public ::testing::Test {
protected:
    void connect(double fversion) {
        sim = sim::SimRadio::start();
        ASSERT_TRUE(sim);
        sim->scriptPanafallCreate(kPan, kWaterfall);
        auto instance = std::make_shared<RadioInstance>();
        instance->name = "SimRadio";
        instance->fversion = fversion;
        instance->supportsMultiDoro = true;
        radio = Radio::create(instance, "127.0.0.1", sim->commandPort(), delegate, "velmoraSDR", 0,
                              attachRadioObjects);
        ASSERT_TRUE(radio);
        ASSERT_TRUE(waitFor([&] { return delegate->saw(kStateConnected) && radio->apiHandle(); }));
        ASSERT_TRUE(sim->waitForStreamDestination());
    }
    void TearDown() override {
        if (radio) {
            radio->close();
        }
        test::mainQueueBarrier();
    }
    std::string ours() const { return "client_handle=0x" + sim->identity().handle; }
    // A requested panadapter, with views on both streams.
    std::shared_ptr<Panafall> requestPan() {
        EXPECT_TRUE(radio->cmdNewPanafall(100, 100));
        EXPECT_TRUE(waitFor([&] { return notes.seen().size() == 1; }));
        const auto pan = std::static_pointer_cast<Panafall>(notes.seen().front().object);
        pan->setDelegate(panView);
        pan->waterfall()->setDelegate(waterfallView);
        return pan;
    }
    std::vector<std::string> commandsStartingWith(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const std::string& text : sim->commandTexts()) {
            if (text.starts_with(prefix)) {
                out.push_back(text);
            }
        }
        return out;
    }

    NotificationRecorder notes{{"PanafallCreated", "PanafallDeleted"}};
    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<test::StateRecorder> delegate = std::make_shared<test::StateRecorder>();
    std::shared_ptr<Radio> radio;
    std::shared_ptr<RecordingPanView> panView = std::make_shared<RecordingPanView>();
    std::shared_ptr<RecordingWaterfallView> waterfallView =
        std::make_shared<RecordingWaterfallView>();
};

TEST_F(DisplaySession, ARequestedPanadapterComesWithItsWaterfall) {
    connect(3.3);
    const auto pan = requestPan();
    EXPECT_EQ(pan->streamId(), "0x40000000");
    EXPECT_EQ(pan->waterfall()->streamId(), "0x42000000");
    EXPECT_EQ(pan->waterfall()->panafall(), pan);
    test::commandBarrier(*radio, *sim);
    EXPECT_EQ(commandsStartingWith("sub pan"), std::vector<std::string>{"sub pan all"});
    EXPECT_EQ(commandsStartingWith("display"),
              (std::vector<std::string>{"display panafall create x=100 y=100",
                                        "display pan rfgain_info 0x40000000"}));

    // The radio then describes the pair, and another client's pair: nothing more is announced.
    ASSERT_TRUE(
        sim->sendStatus(sim::panStatus(kPan, "center=14.100000 waterfall=0x42000000 " + ours())));
    ASSERT_TRUE(sim->sendStatus(sim::waterfallStatus(kWaterfall, "line_duration=100")));
    ASSERT_TRUE(sim->sendStatus(
        sim::panStatus(0x40000001, "waterfall=0x42000001 client_handle=0x11111111")));
    ASSERT_TRUE(sim->sendStatus(sim::waterfallStatus(0x42000001, "line_duration=100")));
    ASSERT_TRUE(waitFor([&] {
        return radio->waterfalls()->with([](const auto& all) { return all.size() == 2; });
    }));
    test::mainQueueBarrier();
    EXPECT_EQ(notes.seen().size(), 1u);
    EXPECT_FLOAT_EQ(pan->center().value_or(0), 14.1f);

    // A second request does not subscribe again.
    ASSERT_TRUE(radio->cmdNewPanafall(100.9, 250.2));
    test::commandBarrier(*radio, *sim);
    EXPECT_EQ(commandsStartingWith("sub pan"), std::vector<std::string>{"sub pan all"});
    EXPECT_EQ(commandsStartingWith("display panafall create").back(),
              "display panafall create x=100 y=250");
}

TEST_F(DisplaySession, NoPanadapterIsRequestedWhenTheRadioHasNoneLeft) {
    connect(3.3);
    ASSERT_TRUE(sim->sendStatus("radio panadapters=0 slices=2"));
    ASSERT_TRUE(waitFor([&] { return radio->availablePanadapters() == 0; }));
    EXPECT_FALSE(radio->cmdNewPanafall(100, 100));
    test::commandBarrier(*radio, *sim);
    EXPECT_TRUE(commandsStartingWith("sub pan").empty());
    EXPECT_TRUE(commandsStartingWith("display").empty());
}

class DisplayStreams : public DisplaySession, public ::testing::WithParamInterface<double> {};

// Frames of 4096 bins in three packets, as the radio sends them: every bin reaches the view, in
// place.
TEST_P(DisplayStreams, FftFramesReachTheViewBinForBin) {
    const double fversion = GetParam();
    connect(fversion);
    requestPan();
    std::vector<std::uint16_t> bins(4096);
    for (std::size_t i = 0; i < bins.size(); ++i) {
        bins[i] = static_cast<std::uint16_t>(i * 7 % 700);
    }
    ASSERT_TRUE(sim->sendFftFrame(kPan, bins, 5, 3, fversion < 3.3));
    ASSERT_TRUE(waitFor([&] { return panView->count() == 3; }));
    EXPECT_EQ(panView->joined(), bins);
    const auto frames = panView->frames();
    EXPECT_EQ(frames[1].startBinIndex, 1365u);
    EXPECT_EQ(frames[1].totalBinsInFrame, fversion >= 3.3 ? 4096u : 0u);

    // A lower frame index is dropped, an equal one passes; 16384 bins are taken, 0 and 16385 not.
    sim::FftFrame late;
    late.bins = {1};
    late.frameIndex = 4;
    late.olderLayout = fversion < 3.3;
    ASSERT_TRUE(sim->sendFft(kPan, late));
    for (const std::size_t count : {std::size_t{0}, std::size_t{16385}, std::size_t{16384}}) {
        sim::FftFrame frame = late;
        frame.frameIndex = 5;
        frame.bins.assign(count, 9);
        ASSERT_TRUE(sim->sendFft(kPan, frame));
    }
    ASSERT_TRUE(waitFor([&] { return panView->count() == 4; }));
    EXPECT_EQ(panView->frames().back().numBins, 16384u);
    const auto pan = std::static_pointer_cast<Panafall>(notes.seen().front().object);
    EXPECT_EQ(pan->droppedFrames(), 1u);
}

// Tiles with their fields, frequencies in MHz from the 64-bit fields; from 3.3 on a line comes in
// segments that the view joins by first bin.
TEST_P(DisplayStreams, TilesReachTheViewWithTheirFields) {
    const double fversion = GetParam();
    connect(fversion);
    requestPan();
    sim::WaterfallTile line;
    line.firstPixelFreq = sim::tileFrequency(14.1);
    line.binBandwidth = sim::tileFrequency(0.0001);
    line.lineDuration = 100;
    line.height = 1;
    line.timecode = 77;
    line.autoBlack = 321;
    for (std::uint16_t i = 0; i < 900; ++i) {
        line.data.push_back(i);
    }
    line.width = 900;
    line.totalBins = fversion >= 3.3 ? 900 : 0;
    line.olderLayout = fversion < 3.3;
    const std::size_t segments = fversion >= 3.3 ? 3 : 1;
    ASSERT_TRUE(segments == 1 ? sim->sendWaterfall(kWaterfall, line)
                              : sim->sendWaterfallLine(kWaterfall, line, segments));
    ASSERT_TRUE(waitFor([&] { return waterfallView->count() == segments; }));
    std::vector<std::uint16_t> joined;
    for (const auto& tile : waterfallView->tiles()) {
        EXPECT_EQ(tile->timecode, 77u);
        EXPECT_EQ(tile->autoBlackLevel, 321u);
        EXPECT_EQ(tile->lineDuration, 100u);
        EXPECT_EQ(tile->height, 1u);
        EXPECT_NEAR(tile->firstPixelFreq, 14.1 + 0.0001 * tile->firstBinIndex, 1e-9);
        EXPECT_NEAR(tile->binBandwidth, 0.0001, 1e-12);
        EXPECT_EQ(tile->totalBinsInFrame, fversion >= 3.3 ? 900 : 0);
        EXPECT_EQ(tile->firstBinIndex, joined.size() * (fversion >= 3.3 ? 1 : 0));
        joined.insert(joined.end(), tile->waterFallBinData.begin(), tile->waterFallBinData.end());
    }
    EXPECT_EQ(joined, line.data);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DisplayStreams, ::testing::Values(3.2, 3.3),
                         [](const auto& layout) { return layout.param >= 3.3 ? "v3_3" : "older"; });

TEST_F(DisplaySession, ARemovalLineDropsThePanAndItsWaterfall) {
    connect(3.3);
    const auto pan = requestPan();
    const auto waterfall = pan->waterfall();
    ASSERT_TRUE(sim->sendStatus(sim::displayRemovedStatus("pan", kPan)));
    ASSERT_TRUE(waitFor([&] { return notes.seen().size() == 2; }));
    test::queueBarrier(radio->radioRunQueue());  // the notification goes out before the removal
    EXPECT_EQ(notes.names(), (std::vector<std::string>{"PanafallCreated", "PanafallDeleted"}));
    EXPECT_EQ(notes.seen()[1].object, pan);
    EXPECT_TRUE(radio->panafalls()->with([](const auto& all) { return all.empty(); }));
    EXPECT_TRUE(radio->waterfalls()->with([](const auto& all) { return all.empty(); }));

    // Packets of the removed streams reach nobody: a frame of another pan, sent last, marks the
    // point where the earlier ones have been routed.
    ASSERT_TRUE(sim->sendStatus(sim::panStatus(0x40000001, "center=7.000000")));
    ASSERT_TRUE(
        waitFor([&] { return radio->streamTables().panafalls.find(0x40000001) != nullptr; }));
    const auto marker = std::make_shared<RecordingPanView>();
    radio->panafalls()->with([&](const auto& all) { all.at("0x40000001")->setDelegate(marker); });
    ASSERT_TRUE(sim->sendFftFrame(kPan, {1, 2, 3}, 9, 1));
    ASSERT_TRUE(sim->sendWaterfall(kWaterfall, sim::WaterfallTile{}));
    ASSERT_TRUE(sim->sendFftFrame(0x40000001, {4, 5, 6}, 9, 1));
    ASSERT_TRUE(waitFor([&] { return marker->count() == 1; }));
    test::queueBarrier(pan->runQueue());
    test::queueBarrier(waterfall->runQueue());
    EXPECT_EQ(panView->count(), 0u);
    EXPECT_EQ(waterfallView->count(), 0u);
}

TEST_F(DisplaySession, SettersSendTheirCommandTexts) {
    connect(3.3);
    const auto pan = requestPan();
    const auto waterfall = pan->waterfall();
    const std::vector<std::pair<std::function<void()>, std::string>> table{
        {[&] { pan->setCenter(14.1f); },
         "display panafall set 0x40000000 center=14.100000 autocenter=0"},
        {[&] {
             pan->autoCenter.set(true);
             pan->setBandwidth(0.2f);
         },
         "display panafall set 0x40000000 bandwidth=0.200000 autocenter=1"},
        {[&] { pan->setCenter(7.05f); },
         "display panafall set 0x40000000 center=7.050000 autocenter=0"},
        {[&] {
             pan->setPanDimensions({1024.7, 300.2});
         },
         "display panafall set 0x40000000 xpixels=1024 ypixels=300"},
        {[&] { pan->setMinDbm(-130.5f); }, "display panafall set 0x40000000 min_dbm=-130.500000"},
        {[&] { pan->setMaxDbm(-40); }, "display panafall set 0x40000000 max_dbm=-40.000000"},
        {[&] { pan->setFps(25); }, "display panafall set 0x40000000 fps=25"},
        {[&] { pan->setAverage(30); }, "display panafall set 0x40000000 average=30"},
        {[&] { pan->setWeightedAverage(true); },
         "display panafall set 0x40000000 weighted_average=1"},
        {[&] { pan->setLoopA(true); }, "display panafall set 0x40000000 loopa=1"},
        {[&] { pan->setLoopB(false); }, "display panafall set 0x40000000 loopb=0"},
        {[&] { pan->setRfGain(10); }, "display panafall set 0x40000000 rfgain=10.000000"},
        {[&] { pan->setRfGain(0); }, "display panafall set 0x40000000 rfgain=0.000000"},
        {[&] { pan->setBand("40"); }, "display pan set 0x40000000 band=40"},
        {[&] { pan->setRxAnt("ANT2"); }, "display pan set 0x40000000 rxant=ANT2"},
        {[&] { pan->setNb(true); }, "display panafall set 0x40000000 nb=1"},
        {[&] { pan->setNbLevel(60); }, "display panafall set 0x40000000 nb_level=60"},
        {[&] { pan->setWnb(false); }, "display panafall set 0x40000000 wnb=0"},
        {[&] { pan->setWnbLevel(20); }, "display panafall set 0x40000000 wnb_level=20"},
        {[&] { pan->setDaxIQ(2); }, "display panafall set 0x40000000 daxiq=2"},
        {[&] { pan->setDaxIQRate(192000); }, "display panafall set 0x40000000 daxiqrate=192000"},
        {[&] { waterfall->setLineDuration(80); },
         "display panafall set 0x42000000 line_duration=80"},
        {[&] { waterfall->setAutoBlack(true); }, "display panafall set 0x42000000 auto_black=1"},
        {[&] { waterfall->setColorGain(55); }, "display panafall set 0x42000000 color_gain=55"},
        {[&] { waterfall->setBlackLevel(15); }, "display panafall set 0x42000000 black_level=15"},
        {[&] { waterfall->setGradientIndex(3); },
         "display panafall set 0x42000000 gradient_index=3"},
    };
    std::vector<std::string> expected;
    for (const auto& [call, command] : table) {
        call();
        expected.push_back(command);
    }
    test::queueBarrier(pan->runQueue());
    test::queueBarrier(waterfall->runQueue());
    test::commandBarrier(*radio, *sim);
    auto sent = commandsStartingWith("display pan");
    std::erase(sent, "display pan rfgain_info 0x40000000");
    // Each object's commands leave in call order; the two queues interleave freely.
    const auto ofStream = [](std::vector<std::string> texts, const std::string& id) {
        std::erase_if(texts, [&](const std::string& t) { return t.find(id) == std::string::npos; });
        return texts;
    };
    EXPECT_EQ(ofStream(sent, "0x40000000"), ofStream(expected, "0x40000000"));
    EXPECT_EQ(ofStream(sent, "0x42000000"), ofStream(expected, "0x42000000"));
    EXPECT_FALSE(pan->autoCenter());
    EXPECT_EQ(pan->userSetSize(), (PanSize{1024.7, 300.2}));
}

}  // namespace
}  // namespace vm
