// The waterfall view's tuning, scripted with QTest against the simulated radio on loopback: the
// pointer, drags, double click, scroll wheel and arrow keys, and the exact slice and panadapter
// commands the radio receives.
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/WaterFallView.h"
#include "objects/Slice.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Screenshot.h"
#include "support/QueueBarrier.h"
#include "support/display/FakeDisplayController.h"
#include "support/sim/SimLines.h"
#include "support/sim/SimRadio.h"

#include "PanSessionSupport.h"
#include "objects/ObjectsTestSupport.h"
#include "radio/SimSessionFixture.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::waitFor;

constexpr std::uint32_t kPan = test::kSessionPan;

// A pan from 14.000 to 14.200 MHz over a view 400 pixels wide: 0.5 kHz a pixel; a slice's line
// takes the pointer within 2.5 kHz (5 pixels). Slice 0 at 14.100 (x 200), slice 1 at 14.050
// (x 100).
class WaterFallViewSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::startPanSession(sim, radio, pan, delegate, 400, 100));
        ASSERT_TRUE(sim->sendStatus(sim::panStatus(
            kPan, "center=14.100000 bandwidth=0.200000 waterfall=0x42000000 client_handle=0x" +
                      sim->identity().handle)));
        for (const auto& [number, mhz] : {std::pair{0, "14.100000"}, std::pair{1, "14.050000"}}) {
            ASSERT_TRUE(sim->sendStatus(
                sim::sliceStatus(number, std::string("in_use=1 mode=USB RF_frequency=") + mhz)));
        }
        ASSERT_TRUE(waitFor([&] {
            return pan->bandwidth().value_or(0) > 0.1f && slot(0) && slot(1) &&
                   slot(1)->sliceFrequency().has_value();
        }));
        controller.radio = radio;
        controller.slices = {slot(0), slot(1)};

        view.resize(400, 160);
        view.setMyPanafall(pan);
        view.setMyPanAdapterView(&view);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        view.repaint();  // the first drawing sets the width of a slice's line
        start = sim->commandTexts().size();
    }
    void TearDown() override {
        if (radio) {
            radio->close();
        }
        test::mainQueueBarrier();
    }
    std::shared_ptr<Slice> slot(std::size_t n) const {
        return radio->slices()->with([&](const auto& all) { return all[n]; });
    }
    // The commands starting with `prefix` that the radio received since the set-up, once
    // everything the view queued has run and the objects' queues have sent it. Each object's
    // commands keep their order; those of different objects may interleave.
    std::vector<std::string> received(const std::string& prefix) {
        return test::commandsSince(
            *radio, *sim, start, prefix,
            {pan->runQueue(), slot(0)->sliceRunQueue(), slot(1)->sliceRunQueue()});
    }
    bool nothingReceived() { return received("slice ").empty() && received("display pan").empty(); }
    void wheel(QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at(200, 50);
        QWheelEvent event(at, view.mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<test::StateRecorder> delegate = std::make_shared<test::StateRecorder>();
    std::shared_ptr<Radio> radio;
    std::shared_ptr<Panafall> pan;
    test::FakeDisplayController controller;
    WaterFallView view{controller};
    std::size_t start = 0;
};

TEST_F(WaterFallViewSession, PointerFrequencyAcrossTheView) {
    for (const auto& [x, mhz] :
         std::vector<std::pair<int, double>>{{0, 14.0}, {100, 14.05}, {399, 14.1995}}) {
        QTest::mouseMove(&view, QPoint(x, 40));
        EXPECT_NEAR(view.mouseMHz(), mhz, 1e-6) << x;
    }
    EXPECT_NEAR(view.pixelsToMHz(400), 0.2, 1e-6);
    EXPECT_NEAR(view.mhzToPixels(0.05), 100, 1e-3);
    // The label follows the pointer; near the right edge it goes to the pointer's left.
    QTest::mouseMove(&view, QPoint(390, 5));
    view.setMouseInWaterfall(true);
    test::saveScreenshot(view, "waterfall_pointer_label.png");
}

TEST_F(WaterFallViewSession, WheelAndKeysTuneThroughTheController) {
    wheel({0, -120});
    EXPECT_TRUE(nothingReceived()) << "no slice under the pointer yet";

    QTest::mouseMove(&view, QPoint(202, 40));  // onto slice 0's line
    wheel({0, -120});                          // down: up 100 Hz
    wheel({120, -120}, Qt::ShiftModifier);     // both ways up: twice 10 Hz
    wheel({0, 120}, Qt::ControlModifier);      // up: down 1 kHz
    wheel({0, 0});
    test::mainQueueBarrier();  // the wheel tunes from the main queue, after its event
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Left, Qt::MetaModifier);
    QTest::keyClick(&view, Qt::Key_Up, Qt::AltModifier);
    QTest::keyClick(&view, Qt::Key_A);
    EXPECT_EQ(received("slice tune 0"), (std::vector<std::string>{
                                            "slice tune 0 14.100100 autopan=0",
                                            "slice tune 0 14.100110 autopan=0",
                                            "slice tune 0 14.100120 autopan=0",
                                            "slice tune 0 14.099120 autopan=0",
                                            "slice tune 0 14.099220 autopan=0",
                                            "slice tune 0 13.999220 autopan=0",
                                        }));
    // Slice 0 has left the pan: the next key tunes the first slice inside it.
    EXPECT_EQ(received("slice tune 1"),
              std::vector<std::string>{"slice tune 1 14.060000 autopan=0"});
    ASSERT_EQ(controller.fineTunes.size(), 7u);
    EXPECT_EQ(controller.fineTunes[5].hz, -100000.0);
}

TEST_F(WaterFallViewSession, ArrowKeysWithoutASliceInThePanBeep) {
    int beeps = 0;
    const auto previous = setBeepHandler([&] { ++beeps; });
    controller.slices = {};
    QTest::keyClick(&view, Qt::Key_Up);
    setBeepHandler(previous);
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(nothingReceived());
}

TEST_F(WaterFallViewSession, DragsAndDoubleClickSendTheExactCommands) {
    // A double click off the slices tunes the nearest one to the pointer, unrounded.
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));  // 14.030
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(60, 40));
    // Dragging slice 0's line to the right, then past the pan's edge: the pan follows.
    QTest::mouseMove(&view, QPoint(201, 40));
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(201, 40));
    QTest::mouseMove(&view, QPoint(250, 40));  // 14.125
    QTest::mouseMove(&view, QPoint(410, 40));  // 14.205: 0.006 past the pan's last kHz
    test::mainQueueBarrier();
    // The recentring holds the scrolling flag for 0.1 s. Timers due at the same moment fire in no
    // fixed order, so the test waits for the flag rather than behind a barrier timer.
    EXPECT_TRUE(view.scrolling());
    DispatchClock::advance(100ms);
    EXPECT_TRUE(waitFor([&] { return !view.scrolling(); }));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(410, 40));
    EXPECT_EQ(received("slice tune 1"), std::vector<std::string>{"slice tune 1 14.03 autopan=0"});
    // Each slice sends from its own queue: slice 0's commands keep their order among themselves.
    auto sliceZero = received("slice ");
    std::erase_if(sliceZero, [](const std::string& c) {
        return !c.starts_with("slice tune 0") && !c.starts_with("slice set 0");
    });
    EXPECT_EQ(sliceZero, (std::vector<std::string>{
                             "slice tune 0 14.125 autopan=0",
                             "slice tune 0 14.205 autopan=0",
                             "slice set 0 active=1",
                         }));
    EXPECT_EQ(
        received("display pan"),
        std::vector<std::string>{"display panafall set 0x40000000 center=14.106000 autocenter=0"});

    // Dragging the background 50 pixels left moves the centre 25 kHz up; the flag holds until
    // the button comes up.
    start = sim->commandTexts().size();
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(300, 90));
    QTest::mouseMove(&view, QPoint(250, 90));
    EXPECT_TRUE(view.scrolling());
    QTest::mouseMove(&view, QPoint(250, 120));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(250, 120));
    EXPECT_FALSE(view.scrolling());
    EXPECT_EQ(
        received("display pan"),
        std::vector<std::string>{"display panafall set 0x40000000 center=14.131000 autocenter=0"});
    EXPECT_TRUE(received("slice ").empty());
}

TEST_F(WaterFallViewSession, ADoubleClickWhileASliceIsHoveredDoesNotTune) {
    QTest::mouseMove(&view, QPoint(100, 40));  // onto slice 1's line
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(300, 40),
                      view.mapToGlobal(QPointF(300, 40)), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
    EXPECT_TRUE(nothingReceived());
}

}  // namespace
}  // namespace vm
