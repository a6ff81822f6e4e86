// The panadapter model on its own: its status table and lines, its RF gain reply, and the intake
// of FFT packets in both layouts with the limits of a frame.
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/QueueHold.h"
#include "support/StatusTableWalk.h"

#include "DisplayTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::LogCapture;
using test::RecordingLink;
using test::RecordingPanView;

constexpr std::uint32_t kPanId = 0x40000000;

TEST(PanafallStatus, EveryKeyFindsItsRow) {
    test::walkStatusTable<Panafall>(Panafall::statusTable(),
                                    [] { return Panafall::create(nullptr, "0x40000000"); });
}

TEST(PanafallStatus, AFirstLineStoresAtOnceALaterOneOnTheMainQueue) {
    const auto pan = Panafall::create(nullptr, "0x40000000");
    LogCapture capture;
    Scanner first(
        " center=14.100000 bandwidth=0.200000 min_dbm=-135.5 fps=25 waterfall=42000000 "
        "client_handle=0x1234ABCD x_pixels=800 y_pixels=600 daxiq=3 nb_updating=T "
        "ant_list=ANT1,ANT2 daxiq_rate=48000 band=20 mystery=1");
    pan->statusParserImmediate(first, true);
    EXPECT_FLOAT_EQ(pan->center().value_or(0), 14.1f);
    EXPECT_FLOAT_EQ(pan->bandwidth().value_or(0), 0.2f);
    EXPECT_FLOAT_EQ(pan->minDbm().value_or(0), -135.5f);
    EXPECT_EQ(pan->fps(), 25);
    EXPECT_EQ(pan->waterfallId(), "0x42000000") << "an id without 0x gets its one written form";
    EXPECT_EQ(pan->clientHandle(), "0x1234ABCD");
    EXPECT_EQ(pan->panDimensions(), (PanSize{100, 100}))
        << "the radio's pixel sizes change nothing";
    EXPECT_EQ(pan->daxIQ(), 1);
    EXPECT_EQ(pan->nbUpdating(), true);
    EXPECT_EQ(pan->antList(), (TextList{"ANT1", "ANT2"}));
    EXPECT_EQ(pan->daxIQRate(), 48000);
    EXPECT_EQ(pan->band(), "20");
    test::mainQueueBarrier();
    EXPECT_TRUE(capture.lines().empty()) << "unknown keys are skipped without a message";

    Scanner later(" center=7.000000 waterfall=0x4200000b");
    pan->statusParserImmediate(later, false);
    EXPECT_EQ(pan->waterfallId(), "0x4200000B") << "the pairing id is kept at once";
    EXPECT_FLOAT_EQ(pan->center().value_or(0), 14.1f) << "stored by the main queue";
    test::mainQueueBarrier();
    EXPECT_FLOAT_EQ(pan->center().value_or(0), 7.0f);
}

// Infinity, not-a-number or a span of zero or less never replace the last good value, whether in
// the pan's first line or a later one.
TEST(PanafallStatus, NonFiniteValuesAndEmptySpansKeepTheLastGoodValue) {
    const auto pan = Panafall::create(nullptr, "0x40000000");
    // A first line announces its keys a moment after it is read: wait for that announcement, so
    // that it cannot be counted against a later line.
    bool firstAnnounced = false;
    const auto firstToken =
        pan->addObserver("center", [&](const Change&) { firstAnnounced = true; });
    Scanner good(" center=14.1 bandwidth=0.2 min_dbm=-130 max_dbm=-40 min_bw=0.001 max_bw=14");
    pan->statusParserImmediate(good, true);
    ASSERT_TRUE(runMainUntil([&] { return firstAnnounced; }, std::chrono::seconds(10)));
    pan->removeObserver(firstToken);
    const struct {
        const char* name;
        const char* line;
    } cases[] = {
        {"overflowing double", " center=1e400 bandwidth=1e400 min_dbm=1e400 max_bw=1e400"},
        {"overflowing float", " center=1e39 max_dbm=-1e39"},
        {"overflowing negative", " center=-1e400 min_dbm=-1e400 max_dbm=-1e309"},
        {"empty or negative span", " bandwidth=0 min_bw=-0.5 max_bw=0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int announced = 0;
        const auto token = pan->addObserver("center", [&](const Change&) { ++announced; });
        Scanner bad(c.line);
        pan->statusParserImmediate(bad, false);
        test::mainQueueBarrier();
        EXPECT_EQ(announced, 0);
        EXPECT_FLOAT_EQ(pan->center().value_or(0), 14.1f);
        EXPECT_FLOAT_EQ(pan->bandwidth().value_or(0), 0.2f);
        EXPECT_FLOAT_EQ(pan->minDbm().value_or(0), -130.0f);
        EXPECT_FLOAT_EQ(pan->maxDbm().value_or(0), -40.0f);
        EXPECT_FLOAT_EQ(pan->minBW().value_or(0), 0.001f);
        EXPECT_FLOAT_EQ(pan->maxBW().value_or(0), 14.0f);
        pan->removeObserver(token);
    }
    const auto fresh = Panafall::create(nullptr, "0x40000001");
    Scanner first(" center=1e400 bandwidth=0");
    fresh->statusParserImmediate(first, true);
    EXPECT_FALSE(fresh->center().has_value());
    EXPECT_FALSE(fresh->bandwidth().has_value());
}

// The radio's waterfall settings come in pan lines: they reach the linked waterfall as its own
// status, and never go back to the radio as commands.
TEST(PanafallStatus, WaterfallKeysFeedTheLinkedWaterfallWithoutCommands) {
    const auto link = std::make_shared<RecordingLink>();
    const auto pan = Panafall::create(link, "0x40000000");
    const std::string line =
        " line_duration=80 color_gain=50 auto_black=1 black_level=20 gradient_index=2";
    Scanner alone(line);
    pan->statusParserImmediate(alone, false);
    test::mainQueueBarrier();

    const auto waterfall = Waterfall::create(link, "0x42000000");
    pan->updateWaterfallRef(waterfall);
    Scanner linked(line);
    pan->statusParserImmediate(linked, false);
    test::queueBarrier(waterfall->runQueue());
    EXPECT_EQ(waterfall->lineDuration(), 80);
    EXPECT_EQ(waterfall->colorGain(), 50);
    EXPECT_EQ(waterfall->autoBlack(), true);
    EXPECT_EQ(waterfall->blackLevel(), 20);
    EXPECT_EQ(waterfall->gradientIndex(), 2);
    EXPECT_EQ(link->commands(), std::vector<std::string>{"display pan rfgain_info 0x40000000"});
}

TEST(PanafallReplies, TheRfGainReplyFillsThePreampSteps) {
    const auto link = std::make_shared<RecordingLink>();
    const auto pan = Panafall::create(link, "0x40000000");
    ASSERT_EQ(link->commands(), std::vector<std::string>{"display pan rfgain_info 0x40000000"});
    EXPECT_EQ(link->receivers().front().lock(), pan);

    const struct {
        const char* reply;
        List steps;
    } cases[] = {
        {"R7|0|0,10,20\n", TextList{"0", "10", "20"}},
        {"R8|50000015|0,8", TextList{"0", "10", "20"}},  // an error changes nothing
        {"R9|0|", TextList{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        pan->radioCommandResponse(7, c.reply);
        test::mainQueueBarrier();
        EXPECT_EQ(pan->preAmpList(), c.steps);
    }
}

// A payload whose header says `numBins` bins, whatever it holds.
std::string withNumBins(std::string payload, std::uint16_t numBins) {
    payload[2] = static_cast<char>(numBins >> 8);
    payload[3] = static_cast<char>(numBins & 0xFF);
    return payload;
}

sim::FftFrame frameOf(std::vector<std::uint16_t> bins, std::uint16_t binSize = 2) {
    sim::FftFrame frame;
    frame.bins = std::move(bins);
    frame.binSize = binSize;
    frame.frameIndex = 1;
    return frame;
}

TEST(PanafallStream, PacketsInBothLayoutsAndTheLimitsOfAFrame) {
    sim::FftFrame placed = frameOf({1, 2, 0x1234});
    placed.startBin = 10;
    placed.totalBins = 40;
    sim::FftFrame older = placed;
    older.olderLayout = true;
    const struct {
        const char* name;
        double fversion;
        std::string payload;
        std::uint32_t numBins;  // 0: refused
        std::string logged;
    } cases[] = {
        {"layout 3.3", 3.3, sim::fftPayload(placed), 3, ""},
        {"older layout", 3.2, sim::fftPayload(older), 3, ""},
        {"16384 bins", 3.3, sim::fftPayload(frameOf(std::vector<std::uint16_t>(16384, 7))), 16384,
         ""},
        {"16385 bins", 3.3, sim::fftPayload(frameOf(std::vector<std::uint16_t>(16385, 7))), 0, ""},
        {"no bins", 3.3, sim::fftPayload(frameOf({})), 0, ""},
        {"bin size 0", 3.3, sim::fftPayload(frameOf({1, 2}, 0)), 0, ""},
        {"bins beyond the payload", 3.3, sim::fftPayload(frameOf({1, 2, 3}, 4)), 0,
         "pan:streamHandler:discard oversize frame: index:[1] numBins:[3] binSize:[4] "
         "vitaBuffer:[6]"},
        // One byte per bin fits by the bin size, but the bins are 16-bit: their swap would run
        // past the payload.
        {"bin size shorter than a bin", 3.3, withNumBins(sim::fftPayload(frameOf({1, 2}, 1)), 4), 0,
         "pan:streamHandler:discard oversize frame: index:[1] numBins:[4] binSize:[1] "
         "vitaBuffer:[4]"},
        {"header cut short", 3.3, sim::fftPayload(placed).substr(0, 10), 0,
         "pan:streamHandler:discard short packet: payload:[10] header:[12]"},
        {"older header cut short", 3.2, sim::fftPayload(older).substr(0, 14), 0,
         "pan:streamHandler:discard short packet: payload:[14] header:[16]"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto pan = Panafall::create(nullptr, "0x40000000");
        const auto view = std::make_shared<RecordingPanView>(pan->runQueue());
        pan->setDelegate(view);
        LogCapture capture;
        pan->streamHandler(test::streamPacket(sim::kClassPanFft, kPanId, c.payload, c.fversion));
        test::queueBarrier(pan->runQueue());
        EXPECT_EQ(capture.lines(), c.logged.empty() ? std::vector<std::string>{}
                                                    : std::vector<std::string>{c.logged});
        if (c.numBins == 0) {
            EXPECT_EQ(view->count(), 0u);
            continue;
        }
        ASSERT_EQ(view->count(), 1u);
        const auto frame = view->frames().front();
        EXPECT_EQ(frame.numBins, c.numBins);
        EXPECT_EQ(frame.binSize, 2u);
        if (c.numBins == 3) {
            EXPECT_EQ(frame.startBinIndex, 10u);
            EXPECT_EQ(frame.totalBinsInFrame, c.fversion >= 3.3 ? 40u : 0u);
            EXPECT_EQ(frame.bins, (std::vector<std::uint16_t>{1, 2, 0x1234}));
        }
    }
}

TEST(PanafallStream, ALowerFrameIndexIsDroppedAnEqualOnePasses) {
    const auto pan = Panafall::create(nullptr, "0x40000000");
    const auto view = std::make_shared<RecordingPanView>();
    const auto send = [&](std::uint32_t index) {
        sim::FftFrame frame = frameOf({static_cast<std::uint16_t>(index)});
        frame.frameIndex = index;
        pan->streamHandler(
            test::streamPacket(sim::kClassPanFft, kPanId, sim::fftPayload(frame), 3.3));
    };
    send(20);  // no view yet: not even counted
    EXPECT_EQ(pan->lastFFTFrameIndex(), 0u);
    pan->setDelegate(view);
    send(9);
    send(7);
    send(9);
    test::queueBarrier(pan->runQueue());
    EXPECT_EQ(pan->droppedFrames(), 1u);
    EXPECT_EQ(pan->lastFFTFrameIndex(), 9u);
    ASSERT_EQ(view->count(), 2u);
    EXPECT_EQ(view->frames()[1].bins, std::vector<std::uint16_t>{9});

    pan->willRemoveStreamProcessor();
    send(10);
    test::queueBarrier(pan->runQueue());
    EXPECT_EQ(view->count(), 2u) << "a removed pan lets its view go";
}

TEST(PanafallStream, ARunOfDroppedFramesIsAnnouncedOnceOnTheMainQueue) {
    const auto pan = Panafall::create(nullptr, "0x40000000");
    pan->setDelegate(std::make_shared<RecordingPanView>());
    std::vector<std::uint32_t> announced;
    pan->addObserver("droppedFrames", [&](const Change& change) {
        EXPECT_TRUE(isMainThread());
        announced.push_back(std::any_cast<std::uint32_t>(change.newValue));
    });
    const auto send = [&](std::uint32_t index) {
        sim::FftFrame frame = frameOf({1});
        frame.frameIndex = index;
        pan->streamHandler(
            test::streamPacket(sim::kClassPanFft, kPanId, sim::fftPayload(frame), 3.3));
    };
    send(9);
    send(7);
    send(8);
    EXPECT_TRUE(announced.empty()) << "announced on the main queue, not on the stream's";
    test::queueBarrier(pan->runQueue());
    EXPECT_EQ(announced, std::vector<std::uint32_t>{2});
    send(3);
    test::mainQueueBarrier();
    EXPECT_EQ(announced, (std::vector<std::uint32_t>{2, 3}));
}

// Frames that arrive while the pan's queue is busy wait there together; none is lost or
// reordered, and frames after them start a new hand-off.
TEST(PanafallStream, FramesQueuedBehindABusyViewArriveInOrder) {
    const auto pan = Panafall::create(nullptr, "0x40000000");
    const auto view = std::make_shared<RecordingPanView>(pan->runQueue());
    pan->setDelegate(view);
    const auto send = [&](std::uint16_t bin) {
        pan->streamHandler(
            test::streamPacket(sim::kClassPanFft, kPanId, sim::fftPayload(frameOf({bin})), 3.3));
    };
    test::QueueHold hold(pan->runQueue());
    for (std::uint16_t bin = 1; bin <= 5; ++bin) {
        send(bin);
    }
    hold.release();
    test::queueBarrier(pan->runQueue());
    send(6);
    send(7);
    test::queueBarrier(pan->runQueue());
    std::vector<std::uint16_t> arrived;
    for (const auto& frame : view->frames()) {
        arrived.push_back(frame.bins.front());
    }
    EXPECT_EQ(arrived, (std::vector<std::uint16_t>{1, 2, 3, 4, 5, 6, 7}));
}

TEST(PanafallStream, TheHeaderDumpShowsTheFirstSixteenBytes) {
    LogCapture capture;
    sim::FftFrame frame = frameOf({0x0102, 0x0304});
    Panafall::dumpHeader(
        test::streamPacket(sim::kClassPanFft, kPanId, sim::fftPayload(frame), 3.3));
    EXPECT_EQ(capture.lines(),
              (std::vector<std::string>{
                  "---------------------------------------------",
                  "dumpHeader: v3.3 message: [00 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 ]",
                  "dumpHeader: v3.3 message: [00 00 00 02 00 02 00 02 00 00 00 01 01 02 03 04 ]",
                  "dumpHeader: v3.3 message: [00 00 02 00 02 00 02 00 00 00 01 00 02 01 04 03 ]",
              }));
}

}  // namespace
}  // namespace vm
