#include "platform/core/Defaults.h"
#include "platform/ui/Window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vm {
namespace {

TEST(Window, FrameIsRestoredFromTheDefaults) {
    const QRect frame(120, 90, 460, 300);
    {
        Window window;
        window.setFrameAutosaveName("velmoraSDR_window_test");
        window.setGeometry(frame);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.close();  // closing writes the frame at once
    }
    EXPECT_EQ(Defaults::standard().arrayForKey("Window Frame velmoraSDR_window_test"),
              (PlistArray{120.0, 90.0, 460.0, 300.0}));

    Window restarted;
    restarted.resize(200, 100);
    restarted.setFrameAutosaveName("velmoraSDR_window_test");
    EXPECT_EQ(restarted.geometry(), frame);
    restarted.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&restarted));
    EXPECT_EQ(restarted.geometry(), frame);
}

TEST(Window, MovesAreSavedShortlyAfterwards) {
    Window window;
    window.setGeometry(40, 40, 300, 200);
    window.setFrameAutosaveName("velmoraSDR_window_moves");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.move(60, 70);  // the outer frame; the content follows
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.geometry().topLeft() != QPoint(40, 40); }));
    const QRect moved = window.geometry();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return Defaults::standard().arrayForKey("Window Frame velmoraSDR_window_moves") ==
               PlistArray{double(moved.x()), double(moved.y()), 300.0, 200.0};
    }));
}

TEST(Window, AFrameOffEveryScreenComesBackOntoTheScreen) {
    Defaults::standard().set("Window Frame velmoraSDR_window_gone",
                             PlistArray{5000.0, 4000.0, 300.0, 200.0});
    Window window;
    window.setFrameAutosaveName("velmoraSDR_window_gone");
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(window.geometry().size(), QSize(300, 200));
    EXPECT_TRUE(area.contains(window.geometry()))
        << window.geometry().x() << "," << window.geometry().y();
}

TEST(Window, StoredFramesThatAreNotFramesAreIgnored) {
    const PlistValue bad[] = {
        PlistValue(PlistArray{10.0, 10.0, 300.0}),
        PlistValue(PlistArray{10.0, 10.0, 0.0, 200.0}),
        PlistValue(PlistArray{10.0, "10", 300.0, 200.0}),
        PlistValue(PlistArray{std::numeric_limits<double>::quiet_NaN(), 10.0, 300.0, 200.0}),
        PlistValue(PlistArray{10.0, 10.0, 1e12, 200.0}),
        PlistValue("10 10 300 200"),
    };
    for (const PlistValue& value : bad) {
        Defaults::standard().set("Window Frame velmoraSDR_window_bad", value);
        Window window;
        window.setGeometry(30, 40, 250, 150);
        window.setFrameAutosaveName("velmoraSDR_window_bad");
        EXPECT_EQ(window.geometry(), QRect(30, 40, 250, 150));
    }
}

TEST(Window, FloatingLevelKeepsAShownWindowShownAndItsExposureFollowed) {
    Window window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.setFloating(true);
    EXPECT_TRUE(window.isFloating());
    EXPECT_TRUE(window.isVisible());
    window.setFloating(false);
    EXPECT_FALSE(window.isFloating());
    EXPECT_TRUE(window.isVisible());

    // Its exposure is still followed after the change of level.
    QSignalSpy occlusion(&window, &Window::occlusionChanged);
    window.hide();
    EXPECT_TRUE(window.isOccluded());
    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isOccluded(); }));
    EXPECT_GE(occlusion.count(), 2);
}

TEST(Window, ReportsKeyMoveOcclusionAndClose) {
    Window window;
    window.setWindowTitle("velmoraSDR 20M");
    window.setGeometry(50, 50, 300, 200);
    QSignalSpy key(&window, &Window::didBecomeKey);
    QSignalSpy resigned(&window, &Window::didResignKey);
    QSignalSpy moved(&window, &Window::didMove);
    QSignalSpy resized(&window, &Window::didResize);
    QSignalSpy occlusion(&window, &Window::occlusionChanged);
    QSignalSpy closing(&window, &Window::willClose);

    window.makeKeyAndOrderFront();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(QTest::qWaitFor([&] { return key.count() == 1; }));
    ASSERT_EQ(occlusion.count(), 1);
    EXPECT_TRUE(occlusion.takeFirst().at(0).toBool());
    EXPECT_FALSE(window.isOccluded());

    const int movesBefore = int(moved.count());
    window.move(80, 90);
    EXPECT_TRUE(QTest::qWaitFor([&] { return moved.count() > movesBefore; }));
    window.resize(320, 220);
    EXPECT_TRUE(QTest::qWaitFor([&] { return resized.count() > 0; }));

    Window other;
    other.makeKeyAndOrderFront();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(QTest::qWaitFor([&] { return resigned.count() == 1; }));

    window.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return occlusion.count() == 1; }));
    EXPECT_FALSE(occlusion.takeFirst().at(0).toBool());
    EXPECT_TRUE(window.isOccluded());

    window.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return occlusion.count() == 1; }));
    window.close();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace vm
