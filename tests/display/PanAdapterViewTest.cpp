// The panadapter view's set-up and its non-drawing side: FFT packets taken on the pan's queue and
// joined in place, the preferences kept in the defaults, the context menu's enabling, the
// slice-copy actions and the heartbeat's texts.
#include "display/Panafall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/PanafallFrameInbox.h"
#include "objects/Slice.h"
#include "platform/core/Defaults.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/Colors.h"
#include "platform/ui/Menu.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextField.h"
#include "radio/Radio.h"
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"
#include "support/QueueHold.h"
#include "support/display/FakeDisplayController.h"

#include "DisplayTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vm {
namespace {

using namespace std::chrono_literals;

test::TestFftFrame frame(std::vector<std::uint16_t> bins, std::uint32_t start,
                         std::uint32_t total) {
    return test::TestFftFrame(std::move(bins), start, total);
}

// Packets on a serial queue, as the pan hands them over, all before the main thread looks.
class PanafallFrameInboxTest : public ::testing::Test {
protected:
    void push(std::vector<test::TestFftFrame> frames) {
        queue->async([inbox = inbox, frames] {
            for (const auto& f : frames) {
                inbox->fftFrame(f.frame());
            }
        });
        test::queueBarrier(queue);
    }
    std::vector<std::uint16_t> bins(std::uint32_t count) const {
        std::vector<std::uint16_t> out(count);
        inbox->copyBins(out.data(), count);
        return out;
    }

    DispatchQueuePtr queue = DispatchQueue::serial("com.velmorasoftware.vmsdr.panafallQueue-test");
    int deliveries = 0;
    std::shared_ptr<PanafallFrameInbox> inbox =
        PanafallFrameInbox::create([this] { ++deliveries; });
};

TEST_F(PanafallFrameInboxTest, PacketsOfAFrameJoinInPlaceWithOneMainThreadCall) {
    push({frame(std::vector<std::uint16_t>(100, 7), 0, 200),
          frame(std::vector<std::uint16_t>(100, 9), 100, 200)});
    EXPECT_EQ(deliveries, 1) << "one call for the batch";
    EXPECT_EQ(inbox->frameBins(), 200u);
    EXPECT_EQ(inbox->takeFrameCount(), 2u);
    const auto joined = bins(201);
    EXPECT_EQ(joined[0], 7);
    EXPECT_EQ(joined[99], 7);
    EXPECT_EQ(joined[100], 9);
    EXPECT_EQ(joined[199], 9);
    EXPECT_EQ(joined[200], 0);

    // A later packet overwrites only its own run.
    push({frame(std::vector<std::uint16_t>(10, 3), 95, 200)});
    EXPECT_EQ(deliveries, 2);
    EXPECT_EQ(bins(200)[94], 7);
    EXPECT_EQ(bins(200)[95], 3);
    EXPECT_EQ(bins(200)[105], 9);
}

TEST_F(PanafallFrameInboxTest, BinCountsAndPacketsThatDoNotFit) {
    struct Case {
        const char* name;
        std::uint32_t start;
        std::uint32_t count;
        std::uint32_t total;
        std::uint32_t frameBins;  // 0: the packet is dropped
    };
    const Case cases[] = {
        {"ends at the last index", 0, 16383, 0, 16383},
        {"would end past the array", 0, 16384, 0, 0},
        {"one bin at the last index", 16383, 1, 0, 0},
        {"no bins", 5, 0, 100, 0},
        {"start and count wrap round in 32 bits", 0xFFFFFFFFu, 2, 0, 0},
        {"total 0 takes the packet's count", 10, 50, 0, 50},
        {"a total above the array is held to it", 0, 100, 100000, 16384},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto box = PanafallFrameInbox::create([] {});
        // A packet that says it holds c.count bins (its datagram holds at least 2).
        auto f = frame(std::vector<std::uint16_t>(std::max<std::uint32_t>(c.count, 2), 1), c.start,
                       c.total);
        f.header.numBins = c.count;
        queue->sync([&] { box->fftFrame(f.frame()); });
        EXPECT_EQ(box->frameBins(), c.frameBins);
        EXPECT_EQ(box->frameCount(), 1u) << "counted whether taken or not";
    }
}

// Packets that wait for the pan's queue together reach the inbox in one hand-off and ask the
// main thread once: every packet counted, each column showing the newest packet's value.
TEST_F(PanafallFrameInboxTest, PacketsWaitingTogetherArriveAsOneBatch) {
    // Hands the pan's calls on to the inbox, counting the batches.
    struct CountingView : PanafallData {
        void fftFrame(const PanafallFFTFrame& frame) override { inbox->fftFrame(frame); }
        void fftFrames(const PanafallFrameBatch& batch) override {
            ++batches;
            inbox->fftFrames(batch);
        }
        std::shared_ptr<PanafallFrameInbox> inbox;
        int batches = 0;  // the pan's queue, read after a barrier
    };
    const auto pan = Panafall::create(nullptr, "0x40000000");
    const auto view = std::make_shared<CountingView>();
    view->inbox = inbox;
    pan->setDelegate(view);
    const auto send = [&](std::uint16_t value, std::uint16_t start) {
        sim::FftFrame frame;
        frame.startBin = start;
        frame.totalBins = 300;
        frame.bins.assign(100, value);
        pan->streamHandler(
            test::streamPacket(sim::kClassPanFft, 0x40000000, sim::fftPayload(frame), 3.3));
    };

    test::QueueHold hold(pan->runQueue());
    for (std::uint16_t value = 1; value <= 5; ++value) {
        send(value, 0);
    }
    send(9, 100);
    send(0, 16300);  // would end past the array: counted, not taken
    hold.release();
    test::queueBarrier(pan->runQueue());

    EXPECT_EQ(view->batches, 1);
    EXPECT_EQ(deliveries, 1);
    EXPECT_EQ(inbox->takeFrameCount(), 7u);
    EXPECT_EQ(inbox->frameBins(), 300u);
    const auto shown = bins(201);
    EXPECT_EQ(shown[0], 5) << "the newest frame";
    EXPECT_EQ(shown[99], 5);
    EXPECT_EQ(shown[100], 9);
    EXPECT_EQ(shown[200], 0);

    // A packet after the hand-off starts the next one.
    send(6, 0);
    test::queueBarrier(pan->runQueue());
    EXPECT_EQ(view->batches, 2);
    EXPECT_EQ(deliveries, 2);
    EXPECT_EQ(bins(1)[0], 6);
}

// A pan from 14.0 to 14.2 MHz with its view.
class PanAdapterViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        pan->center.set(14.1f);
        pan->bandwidth.set(0.2f);
        view = std::make_unique<PanAdapterView>(controller);
        view->resize(400, 200);
        view->setMyPanafall(pan);
        pan->setDelegate(view->panafallData());
    }
    void TearDown() override {
        test::mainQueueBarrier();
        for (int index = 0; index < 4; ++index) {
            for (const auto& key :
                 {PanAdapterView::verticalTicksKey(index),
                  PanAdapterView::horizontalTicksKey(index), PanAdapterView::fftKey(index),
                  PanAdapterView::filterKey(index), PanAdapterView::tnfKey(index)}) {
                Defaults::standard().remove(key);
            }
        }
    }
    void deliver(const test::TestFftFrame& f) {
        pan->runQueue()->async([data = view->panafallData(), f] { data->fftFrame(f.frame()); });
        test::queueBarrier(pan->runQueue());
    }
    // The sliders and wells of a window, each tagged with its pan index.
    struct Window {
        explicit Window(int index) {
            for (int i = 0; i < 4; ++i) {
                for (Slider* s : {&vertical[i], &horizontal[i]}) {
                    s->setMinValue(2);
                    s->setMaxValue(20);
                    s->setProperty("tag", i);
                }
                controls.verticalAxisTicksSliders[i] = &vertical[i];
                controls.horizontalAxisTicksSliders[i] = &horizontal[i];
            }
            for (ColorWell* w : {&fft, &filter, &tnf}) {
                w->setProperty("tag", index);
            }
            controls.fftColorWell = &fft;
            controls.filterColorWell = &filter;
            controls.tnfColorWell = &tnf;
            controls.frameStatus = &status;
        }
        std::array<Slider, 4> vertical;
        std::array<Slider, 4> horizontal;
        ColorWell fft, filter, tnf;
        TextField status;
        PanAdapterControls controls;
    };

    std::shared_ptr<test::RecordingLink> link = std::make_shared<test::RecordingLink>();
    std::shared_ptr<Panafall> pan = Panafall::create(link, "0x40000000");
    test::FakeDisplayController controller;
    std::unique_ptr<PanAdapterView> view;
};

TEST_F(PanAdapterViewTest, FramesBeforeStartUpAreCountedAndDropped) {
    controller.startupComplete = false;
    deliver(frame(std::vector<std::uint16_t>(100, 50), 0, 0));
    EXPECT_EQ(view->frameCount(), 1u);
    EXPECT_FALSE(view->firstFftReceived());
    EXPECT_EQ(view->numFrameBins(), 0u);

    controller.startupComplete = true;
    test::LogCapture log;
    deliver(frame(std::vector<std::uint16_t>(100, 50), 0, 300));
    deliver(frame(std::vector<std::uint16_t>(100, 50), 100, 300));
    EXPECT_TRUE(view->firstFftReceived());
    EXPECT_EQ(view->numFrameBins(), 300u);
    EXPECT_EQ(view->frameCount(), 3u);
    EXPECT_EQ(log.lines(),
              std::vector<std::string>{"fftFrame: first fft: streamId: 0x40000000 dispatch_queue: "
                                       "com.velmorasoftware.vmsdr.panafallQueue-0x40000000"});
}

TEST_F(PanAdapterViewTest, FirstLaunchRestoresTheDefaultsAndTheUsersChangesAreKept) {
    Window window(0);
    view->setControls(window.controls);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(window.vertical[i].doubleValue(), 10) << i;
        EXPECT_EQ(window.horizontal[i].doubleValue(), 10) << i;
    }
    EXPECT_EQ(window.fft.color(), QColor::fromRgbF(0, 1, 0, 0)) << "transparent green";
    EXPECT_EQ(window.filter.color(), QColor::fromRgbF(1, 1, 1, 0.05f)) << "white at 5 %";
    EXPECT_EQ(window.tnf.color(), QColor::fromRgbF(1, 0, 1, 1)) << "opaque magenta";

    // The sliders of pan index 2 moved: both keys written, and the next launch shows them.
    window.vertical[2].setIntValue(7);
    window.horizontal[2].setIntValue(13);
    window.vertical[2].sendAction();
    EXPECT_EQ(Defaults::standard().integerForKey("vertical_axis_ticks2"), 7);
    EXPECT_EQ(Defaults::standard().integerForKey("horizontal_axis_ticks2"), 13);
    EXPECT_FALSE(Defaults::standard().integerForKey("vertical_axis_ticks"));
    view->ticksSlidersMoved(4);  // another tag stores nothing
    EXPECT_FALSE(Defaults::standard().object("vertical_axis_ticks4"));

    // A well tagged 3 stores under the key for index 3, whichever view's action runs.
    Window other(3);
    PanAdapterView second(controller);
    second.setControls(other.controls);
    other.fft.setColor(QColor::fromRgbF(0, 0, 1, 0.25f));
    other.fft.sendAction();
    other.tnf.setColor(Qt::yellow);
    other.tnf.sendAction();
    EXPECT_EQ(colors::fromPlist(*Defaults::standard().object("fft_color_well_03")),
              QColor::fromRgbF(0, 0, 1, 0.25f));
    EXPECT_EQ(colors::fromPlist(*Defaults::standard().object("tnf_color_well_03")),
              QColor(Qt::yellow));
    EXPECT_FALSE(Defaults::standard().object("fft_color_well_00"));

    Window relaunched(3);
    PanAdapterView third(controller);
    third.setPanIndex(3);
    third.setControls(relaunched.controls);
    EXPECT_EQ(relaunched.vertical[2].doubleValue(), 7);
    EXPECT_EQ(relaunched.horizontal[2].doubleValue(), 13);
    EXPECT_EQ(relaunched.vertical[0].doubleValue(), 10);
    EXPECT_EQ(relaunched.fft.color(), QColor::fromRgbF(0, 0, 1, 0.25f));
    EXPECT_EQ(relaunched.tnf.color(), QColor(Qt::yellow));
    EXPECT_EQ(relaunched.filter.color(), QColor::fromRgbF(1, 1, 1, 0.05f));

    // A stored value that is not a colour falls back to the default.
    Defaults::standard().set("filter_color_well_01", PlistValue(std::string("teal")));
    Window broken(1);
    PanAdapterView fourth(controller);
    fourth.setPanIndex(1);
    fourth.setControls(broken.controls);
    EXPECT_EQ(broken.filter.color(), QColor::fromRgbF(1, 1, 1, 0.05f));
}

TEST_F(PanAdapterViewTest, ColorPresetsInOrder) {
    const auto& presets = PanAdapterView::colorList();
    EXPECT_STREQ(presets.front().name, "Filter Default");
    EXPECT_EQ(presets[1].color, QColor::fromRgbF(0, 0.59f, 1, 0.25f));
    EXPECT_STREQ(presets.back().name, "Panadapter Blue");
}

TEST_F(PanAdapterViewTest, ContextMenuFollowsTheSlicesTheBandAndTheRadio) {
    Menu menu;
    for (int i = 0; i < 20; ++i) {
        menu.addItem("item " + std::to_string(i));
    }
    view->setControls({.panaviewContextMenu = &menu});
    const auto enabled = [&](int i) { return menu.itemAtIndex(i)->isEnabled(); };

    controller.slices = {Slice::create(link, 0)};  // A without B
    controller.panBand = "20";
    view->menuWillOpen();
    EXPECT_TRUE(enabled(4));
    EXPECT_FALSE(enabled(5));
    for (int i : {15, 16, 17}) {
        EXPECT_FALSE(enabled(i)) << i;
    }
    EXPECT_EQ(menu.itemAtIndex(13)->title(), "Center 20M Panadapter over");
    EXPECT_TRUE(enabled(13));
    EXPECT_FALSE(enabled(19)) << "no open radio";
    EXPECT_TRUE(enabled(3)) << "other items keep their state";

    controller.slices.push_back(Slice::create(link, 1));
    controller.panBand.clear();
    auto radio = Radio::createDetached(std::make_shared<RadioInstance>(), {}, "velmoraSDR", 0);
    radio->availableSlices.set(2);
    controller.radio = radio;
    view->menuWillOpen();
    for (int i : {4, 5, 15, 16, 17, 19}) {
        EXPECT_TRUE(enabled(i)) << i;
    }
    EXPECT_FALSE(enabled(13)) << "no band";

    radio->availableSlices.set(0);
    view->menuWillOpen();
    EXPECT_FALSE(enabled(19));
    controller.radio.reset();
    radio->availableSlices.set(2);
    view->menuWillOpen();
    EXPECT_FALSE(enabled(19)) << "closed again";

    view->swapVFOs();
    view->setVFOBequalsVFOA();
    view->setVFOAequalsVFOB();
    EXPECT_EQ(controller.panelActions,
              (std::vector<std::string>{"swapVFOs", "setVFOBequalsVFOA", "setVFOAequalsVFOB"}));
}

TEST_F(PanAdapterViewTest, HeartbeatTexts) {
    Window window(0);
    view->setControls(window.controls);
    struct Case {
        const char* text;
        bool connected;
        bool pan;
        bool startup;
    };
    for (const Case& c :
         {Case{"Radio Not Connected", false, true, true}, Case{"No Panafall", true, false, true},
          Case{"Starting up", true, true, false},
          Case{"Waiting for first fft", true, true, true}}) {
        view->setMyPanafall(c.pan ? pan : nullptr);
        controller.startupComplete = c.startup;
        EXPECT_FALSE(view->heartBeatTimer(0, false, c.connected)) << c.text;
        EXPECT_EQ(window.status.stringValue(), c.text);
    }

    // Frames at 2 a second: the status is emptied.
    view->heartBeatTimer(0, false, true);
    view->setMyPanafall(pan);
    deliver(frame(std::vector<std::uint16_t>(10, 1), 0, 0));
    view->heartBeatTimer(0, false, true);  // starts the count
    deliver(frame(std::vector<std::uint16_t>(10, 1), 0, 0));
    deliver(frame(std::vector<std::uint16_t>(10, 1), 0, 0));
    DispatchClock::advance(1s);
    EXPECT_TRUE(view->heartBeatTimer(0, false, true));
    EXPECT_EQ(window.status.stringValue(), "");

    // In transmit: text and count left as they are.
    deliver(frame(std::vector<std::uint16_t>(10, 1), 0, 0));
    window.status.setStringValue("kept");
    EXPECT_TRUE(view->heartBeatTimer(0, true, true));
    EXPECT_EQ(window.status.stringValue(), "kept");
    EXPECT_EQ(view->frameCount(), 1u);

    // Two beats 1 s apart with no frame in between.
    view->heartBeatTimer(0, false, true);
    DispatchClock::advance(1s);
    EXPECT_FALSE(view->heartBeatTimer(0, false, true));
    EXPECT_EQ(window.status.stringValue(), "Waterfall frame rate dropped to 0.0 fps");
}

}  // namespace
}  // namespace vm
