// The panadapter's tuning, scripted with QTest against the simulated radio on loopback: hover and
// its cursors, double clicks on the tuning grid, drags of a slice line, of a notch filter, of the
// background and of the split bar, the wheel, the arrow keys and spot picking, with the exact
// commands the radio receives.
#include "display/PanSpotObject.h"
#include "display/Panafall.h"
#include "display/Waterfall.h"
#include "display/views/PanAdapterView.h"
#include "display/views/WaterFallView.h"
#include "objects/Slice.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Screenshot.h"
#include "radio/TNF.h"
#include "support/QueueBarrier.h"
#include "support/ScopedEnv.h"
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

#include <stdlib.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::waitFor;
namespace fs = std::filesystem;

constexpr std::uint32_t kPan = test::kSessionPan;
constexpr int kWidth = 1000;
constexpr int kHeight = 500;

// A pan from 14.000 to 14.200 MHz over a view 1000 by 500 pixels (200 Hz a pixel); a line takes
// the pointer within 2.5 kHz (12.5 pixels). Slice 0 at 14.100 (x 500), slice 1 at 14.050 (x 250),
// both USB. The view is its own window, 500 pixels high.
class PanAdapterViewTuning : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(test::startPanSession(sim, radio, pan, delegate, kWidth, kHeight));
        setPan("14.100000");
        setSlice(0, "14.100000");
        setSlice(1, "14.050000");
        controller.radio = radio;
        controller.slices = {slot(0), slot(1)};

        view.resize(kWidth, kHeight);
        view.setMyPanafall(pan);
        view.setWaterFallView(&waterfall);
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
    void setPan(const std::string& center) {
        ASSERT_TRUE(sim->sendStatus(sim::panStatus(
            kPan, "center=" + center + " bandwidth=0.200000 waterfall=0x42000000 client_handle=0x" +
                      sim->identity().handle)));
        const float wanted = std::stof(center);
        ASSERT_TRUE(waitFor([&] {
            return pan->center().value_or(0) == wanted && pan->bandwidth().value_or(0) > 0.1f;
        }));
    }
    void setSlice(int number, const std::string& mhz) {
        ASSERT_TRUE(sim->sendStatus(sim::sliceStatus(
            number, "in_use=1 mode=USB mode_list=LSB,USB,CW,DIGU RF_frequency=" + mhz)));
        ASSERT_TRUE(waitFor([&] {
            const auto s = slot(number);
            return s && s->sliceFrequency() == mhz && s->modeList().has_value();
        }));
    }
    std::shared_ptr<Slice> slot(std::size_t n) const {
        return radio->slices()->with(
            [&](const auto& all) { return n < all.size() ? all[n] : nullptr; });
    }
    // The commands starting with `prefix` that the radio received since the set-up, once
    // everything the view queued has run and the objects' queues have sent it.
    std::vector<std::string> received(const std::string& prefix) {
        return test::commandsSince(
            *radio, *sim, start, prefix,
            {pan->runQueue(), slot(0)->sliceRunQueue(), slot(1)->sliceRunQueue()});
    }
    // Events at a point between pixels, as a pointer with sub-pixel precision gives them.
    void send(QEvent::Type type, QPointF at, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, at, view.mapToGlobal(at), Qt::LeftButton, buttons, modifiers);
        QApplication::sendEvent(&view, &event);
    }
    // A double click as the window system delivers it: press, release, double click, release.
    void doubleClick(QPointF at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        send(QEvent::MouseButtonPress, at, Qt::LeftButton, modifiers);
        send(QEvent::MouseButtonRelease, at, Qt::NoButton, modifiers);
        send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, modifiers);
        send(QEvent::MouseButtonRelease, at, Qt::NoButton, modifiers);
    }
    void wheel(QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at(500, 50);
        QWheelEvent event(at, view.mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&view, &event);
    }
    Qt::CursorShape cursor() const { return view.cursor().shape(); }

    std::unique_ptr<sim::SimRadio> sim;
    std::shared_ptr<test::StateRecorder> delegate = std::make_shared<test::StateRecorder>();
    std::shared_ptr<Radio> radio;
    std::shared_ptr<Panafall> pan;
    test::FakeDisplayController controller;
    WaterFallView waterfall{controller};
    PanAdapterView view{controller};
    std::size_t start = 0;
};

TEST_F(PanAdapterViewTuning, DoubleClickTunesTheNearestSliceOnTheGridOfModifiersAndMode) {
    // 14.07456 MHz lies at x 372.8; slice 1 (14.050) is nearer than slice 0 (14.100).
    const QPointF at(372.8, 100);
    doubleClick(at);
    EXPECT_NEAR(view.mouseMHz(), 14.07456, 1e-6);
    doubleClick(at, Qt::ShiftModifier);
    slot(1)->setSliceMode("CW");
    doubleClick(at);
    std::vector<std::string> tunes = received("slice tune ");
    EXPECT_EQ(tunes, (std::vector<std::string>{
                         "slice tune 1 14.074600 autopan=0",
                         "slice tune 1 14.074560 autopan=0",
                         "slice tune 1 14.074560 autopan=0",
                     }));

    // Without slices a double click tunes nothing.
    controller.slices = {};
    start = sim->commandTexts().size();
    doubleClick(QPointF(100, 100));
    EXPECT_TRUE(received("slice ").empty());
}

TEST_F(PanAdapterViewTuning, ANotchFilterDragReachesTheRadioOnlyOnRelease) {
    setPan("7.100000");  // 7.000 to 7.200 MHz
    ASSERT_TRUE(sim->sendStatus(
        sim::objectStatus("tnf", "1", "freq=7.15 depth=1 width=0.0001 permanent=0")));
    ASSERT_TRUE(waitFor(
        [&] { return radio->tnfs()->with([](const auto& all) { return all.size(); }) == 1; }));
    view.repaint();
    QTest::mouseMove(&view, QPoint(751, 100));  // onto the filter at x 750
    EXPECT_EQ(cursor(), Qt::CrossCursor) << "filters are found only while they are enabled";
    ASSERT_TRUE(sim->sendStatus("radio tnf_enabled=1"));
    ASSERT_TRUE(waitFor([&] { return radio->tnfEnabled().value_or(0) == 1; }));
    start = sim->commandTexts().size();

    QTest::mouseMove(&view, QPoint(752, 100));
    EXPECT_EQ(cursor(), Qt::SizeHorCursor);
    EXPECT_EQ(view.mouseOverTNF()->tnf_id, 1);
    send(QEvent::MouseButtonPress, QPointF(751, 100), Qt::LeftButton);
    EXPECT_EQ(controller.highlighted, (std::vector<std::pair<int, bool>>{{1, true}}));
    // 7.0501234 MHz at x 250.617: stored on the 10 Hz grid, whatever the modifiers.
    send(QEvent::MouseMove, QPointF(400, 100), Qt::LeftButton);
    send(QEvent::MouseMove, QPointF(250.617, 100), Qt::LeftButton, Qt::ControlModifier);
    const auto tnf = radio->tnfs()->with([](const auto& all) { return all.front(); });
    EXPECT_DOUBLE_EQ(tnf->frequency, 7.05012);
    EXPECT_TRUE(received("tnf ").empty()) << "nothing is sent while the button is down";
    EXPECT_EQ(controller.tnfTableReloads, 2) << "the table follows every step";

    send(QEvent::MouseButtonRelease, QPointF(250.617, 100), Qt::NoButton);
    EXPECT_EQ(received("tnf "), (std::vector<std::string>{
                                    "tnf set 1 freq=7.05012",
                                    "tnf set 1 depth=1",
                                    "tnf set 1 width=0.0001",
                                    "tnf set 1 permanent=0",
                                }));
    EXPECT_EQ(controller.tnfTableReloads, 3);
    EXPECT_TRUE(received("display pan").empty()) << "a filter drag does not move the pan";
    EXPECT_TRUE(received("slice ").empty());
}

TEST_F(PanAdapterViewTuning, ABackgroundDragMovesTheCentreWithThePointer) {
    // 10 pixels to the left in 1000 pixels of 0.2 MHz: the centre rises by 0.002 MHz.
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(700, 200));
    EXPECT_EQ(cursor(), Qt::OpenHandCursor);
    QTest::mouseMove(&view, QPoint(690, 200));
    EXPECT_TRUE(view.scrolling());
    EXPECT_TRUE(waterfall.scrolling());
    QTest::mouseMove(&view, QPoint(690, 260));  // straight down: no move of the centre
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(690, 260));
    EXPECT_FALSE(view.scrolling());
    EXPECT_FALSE(waterfall.scrolling());
    EXPECT_EQ(
        received("display pan"),
        std::vector<std::string>{"display panafall set 0x40000000 center=14.102000 autocenter=0"});
    EXPECT_TRUE(received("slice ").empty());
}

TEST_F(PanAdapterViewTuning, ASliceDragTunesTheHoveredSliceAndCarriesThePan) {
    // Both slices within the tolerance of the pointer: hover takes the later, the press marks the
    // drag on the first, and the drag tunes the hovered one.
    setSlice(1, "14.101500");
    start = sim->commandTexts().size();
    QTest::mouseMove(&view, QPoint(502, 100));  // 14.1004
    EXPECT_EQ(cursor(), Qt::SizeHorCursor);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(502, 100));
    EXPECT_NEAR(view.dragStartMHz(), 14.1004, 1e-6);
    QTest::mouseMove(&view, QPoint(600, 100));   // 14.120
    QTest::mouseMove(&view, QPoint(1015, 100));  // 14.203: 0.004 past the pan's last kHz
    test::mainQueueBarrier();
    EXPECT_TRUE(view.scrolling());
    EXPECT_TRUE(waterfall.scrolling());
    DispatchClock::advance(100ms);
    EXPECT_TRUE(waitFor([&] { return !view.scrolling() && !waterfall.scrolling(); }));
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(1015, 100));
    EXPECT_EQ(view.dragStartMHz(), 0);
    EXPECT_EQ(received("slice "), (std::vector<std::string>{
                                      "slice tune 1 14.120000 autopan=0",
                                      "slice tune 1 14.203000 autopan=0",
                                      "slice set 1 active=1",
                                  }));
    EXPECT_EQ(
        received("display pan"),
        std::vector<std::string>{"display panafall set 0x40000000 center=14.104000 autocenter=0"});
}

TEST_F(PanAdapterViewTuning, TheSplitBarDragResizesThroughTheController) {
    QTest::mouseMove(&view, QPoint(300, kHeight - 5));
    EXPECT_EQ(cursor(), Qt::SizeVerCursor);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(300, kHeight - 5));
    EXPECT_TRUE(view.resizing());
    EXPECT_TRUE(waterfall.resizing());
    // 50 points down in a 500-point window, in five steps.
    for (int y = kHeight + 5; y <= kHeight + 45; y += 10) {
        QTest::mouseMove(&view, QPoint(300, y));
    }
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(300, kHeight + 45));
    double percent = 0;
    for (const auto& [who, change] : controller.dragged) {
        EXPECT_EQ(who, &view);
        percent += change;
    }
    EXPECT_DOUBLE_EQ(percent, -10);
    EXPECT_EQ(controller.dragged.size(), 5u);
    EXPECT_FALSE(view.resizing());
    EXPECT_FALSE(waterfall.resizing());
    EXPECT_TRUE(received("display pan").empty());
}

TEST_F(PanAdapterViewTuning, HoverFindsTheLineUnderThePointer) {
    struct Case {
        const char* name;
        QPoint at;
        Qt::CursorShape cursor;
    };
    for (const Case& c : {Case{"slice_line", {255, 100}, Qt::SizeHorCursor},
                          Case{"background", {700, 100}, Qt::CrossCursor},
                          Case{"split_bar", {700, kHeight - 9}, Qt::SizeVerCursor},
                          Case{"above_the_split_bar", {700, kHeight - 10}, Qt::CrossCursor}}) {
        QTest::mouseMove(&view, c.at);
        EXPECT_EQ(cursor(), c.cursor) << c.name;
    }
    EXPECT_EQ(controller.lastPanMouseEntered, &view);
    EXPECT_TRUE(view.mouseInPanView());
    EXPECT_TRUE(view.hasFocus()) << "the arrow keys reach the view the pointer is in";
    QTest::mouseMove(&view, QPoint(900, 300));
    test::saveScreenshot(view, "panadapter_pointer_readout.png");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&view, &leave);
    EXPECT_FALSE(view.mouseInPanView());
    EXPECT_EQ(cursor(), Qt::ArrowCursor);
}

TEST_F(PanAdapterViewTuning, KeysWithoutASliceOnlyBeep) {
    int beeps = 0;
    const auto previous = setBeepHandler([&] { ++beeps; });
    controller.slices = {};
    QTest::keyClick(&view, Qt::Key_Up);
    QTest::keyClick(&view, Qt::Key_A);
    QTest::keyClick(&view, Qt::Key_Shift);  // a modifier alone only chooses the step
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(received("slice ").empty());

    // With slice 0 in the pan: other keys are ignored, the arrows tune it by the modifiers' step.
    controller.slices = {slot(0), slot(1)};
    QTest::keyClick(&view, Qt::Key_A);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    setBeepHandler(previous);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(received("slice "), (std::vector<std::string>{
                                      "slice tune 0 14.100100 autopan=0",
                                      "slice tune 0 14.100090 autopan=0",
                                  }));
}

TEST_F(PanAdapterViewTuning, TheWheelTunesTheSliceUnderThePointerOneStepPerAxis) {
    wheel({0, -120});
    EXPECT_TRUE(received("slice ").empty()) << "no slice under the pointer";
    QTest::mouseMove(&view, QPoint(503, 100));  // onto slice 0's line
    wheel({120, 120});                          // right and up: +100 Hz, then -100 Hz
    wheel({0, -120}, Qt::ControlModifier);      // down: +1 kHz
    wheel({0, 0});
    EXPECT_EQ(received("slice tune 0"), (std::vector<std::string>{
                                            "slice tune 0 14.100100 autopan=0",
                                            "slice tune 0 14.100000 autopan=0",
                                            "slice tune 0 14.101000 autopan=0",
                                        }));
}

// An "osascript" on the path that keeps the script of each run in a file of its own.
class ScriptRecorder {
public:
    ScriptRecorder() {
        std::string pattern = (fs::temp_directory_path() / "pan-lookup-XXXXXX").string();
        dir_ = ::mkdtemp(pattern.data());
        const fs::path interpreter = dir_ / "osascript";
        std::ofstream(interpreter) << "#!/bin/sh\nprintf '%s' \"$2\" > \"$0.run.$$\"\n";
        fs::permissions(interpreter, fs::perms::owner_all);
        const char* path = std::getenv("PATH");
        env_.set("PATH", (dir_.string() + ":" + (path ? path : "")).c_str());
    }
    ~ScriptRecorder() { fs::remove_all(dir_); }
    std::vector<std::string> scripts() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            if (entry.path().filename() != "osascript") {
                std::ifstream in(entry.path());
                out.emplace_back(std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>());
            }
        }
        return out;
    }

private:
    fs::path dir_;
    test::ScopedEnv env_;
};

// Spot selection: the nearest slice goes to the spot's frequency, and to its mode when the
// slice has that mode; the lookup runs only when asked, while the logger runs, and only for a
// call sign that cannot leave its quotes.
TEST_F(PanAdapterViewTuning, ASelectedSpotTunesTheNearestSliceAndItsCallIsLookedUp) {
    ScriptRecorder recorder;
    auto spot = std::make_shared<PanSpotObject>();
    spot->combinedCallsign = "W1AW";
    spot->megahertz = 14.0745;  // nearest: slice 1 at 14.050
    spot->mode = "CW";
    view.spotSelected(spot, true);  // the logger is not running
    controller.trvlRunning = true;
    spot->combinedCallsign = "W1AW\" & (do shell script \"id\") & \"";
    view.spotSelected(spot, true);
    DispatchClock::advance(100ms);
    spot->mode = "FT8";
    spot->combinedCallsign = "VE3 ABC/P";
    view.spotSelected(spot, true);
    DispatchClock::advance(100ms);
    ASSERT_TRUE(waitFor([&] { return !recorder.scripts().empty(); }));
    EXPECT_EQ(recorder.scripts(), std::vector<std::string>{"Tell application \"Tarvelo\"\n"
                                                           "lookup \"VE3-ABC/P\"\n"
                                                           "end tell\n"});
    EXPECT_EQ(received("slice "), (std::vector<std::string>{
                                      "slice tune 1 14.0745 autopan=0",
                                      "slice set 1 mode=CW",
                                      "slice tune 1 14.0745 autopan=0",
                                      "slice set 1 mode=CW",
                                      "slice tune 1 14.0745 autopan=0",
                                  }));

    // A spot at no valid frequency, or with no slice to tune, changes nothing.
    start = sim->commandTexts().size();
    spot->megahertz = std::numeric_limits<double>::quiet_NaN();
    view.spotSelected(spot, false);
    controller.slices = {};
    spot->megahertz = 14.0745;
    view.spotSelected(spot, false);
    EXPECT_TRUE(received("slice ").empty());
}

// A spot label under the pointer: a click selects the spot, a double click selects it twice and
// looks it up once; no slice is dragged and the pan does not move.
TEST_F(PanAdapterViewTuning, ClicksOnASpotLabelSelectTheSpot) {
    ScriptRecorder recorder;
    auto spot = std::make_shared<PanSpotObject>();
    spot->combinedCallsign = "W1AW";
    spot->megahertz = 14.0995;  // beside slice 0's line, nearest to slice 0
    spot->mode = "USB";
    controller.trvlSpots = true;
    controller.trvlRunning = true;
    controller.spots = {spot};
    view.repaint();
    ASSERT_EQ(view.thisBandSpots().size(), 1u);
    const SpotRect label = spot->label_rect;
    ASSERT_GT(label.width, 0);
    // The label's middle, from view coordinates (origin lower left) to the widget's.
    const QPoint onLabel(static_cast<int>(label.x + label.width / 2),
                         static_cast<int>(kHeight - (label.y + label.height / 2)));
    QTest::mouseMove(&view, onLabel);
    EXPECT_EQ(view.mouseOverSpot(), spot);
    EXPECT_EQ(cursor(), Qt::ArrowCursor);
    test::saveScreenshot(view, "panadapter_pointer_on_spot.png");

    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, onLabel);
    doubleClick(onLabel);
    DispatchClock::advance(100ms);
    ASSERT_TRUE(waitFor([&] { return !recorder.scripts().empty(); }));
    EXPECT_EQ(recorder.scripts().size(), 1u);
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i) {
        expected.insert(expected.end(), {"slice tune 0 14.0995 autopan=0", "slice set 0 mode=USB"});
    }
    EXPECT_EQ(received("slice "), expected);
    EXPECT_TRUE(received("display pan").empty());
}

}  // namespace
}  // namespace vm
