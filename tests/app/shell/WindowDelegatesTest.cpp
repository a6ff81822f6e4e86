// The window handling as a room: the Window menu's entries for the windows that become key, the
// preferences window floating see-through over a main window that holds it, the heads-up display
// over a main window, and the radio chooser's tool tip.
#include "app/shell/WindowDelegates.h"
#include "app/shell/WindowDelegatesHost.h"
#include "app/windows/PanadapterWindow.h"
#include "platform/ui/MenuItem.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowMenu.h"
#include "radio/RadioInstance.h"
#include "support/QueueBarrier.h"

#include <QTest>

#include <gtest/gtest.h>

namespace vm {
namespace {

struct Host : WindowDelegatesHost {
    bool dark = false;
    int hudTitles = 0;
    std::vector<std::shared_ptr<RadioInstance>> local, remote;

    std::shared_ptr<Radio> openedRadio() const override { return nullptr; }
    void adjustHudTitle() override { ++hudTitles; }
    PanAdapterView* panViewUnderHud() const override { return nullptr; }
    std::optional<QPalette> windowAppearance() const override { return std::nullopt; }
    bool darkWindowsOn() const override { return dark; }
    std::vector<std::shared_ptr<RadioInstance>> localRadios() const override { return local; }
    std::vector<std::shared_ptr<RadioInstance>> doroLinkRadios() const override { return remote; }
    void applicationDidChangeOcclusionState(bool visible) override { occlusion.push_back(visible); }
    std::vector<bool> occlusion;  // each change told, in order
};

std::shared_ptr<RadioInstance> radio(const std::string& name, bool wan) {
    auto record = std::make_shared<RadioInstance>();
    record->name = name;
    record->ipAddress = "192.168.1.20";
    record->port = 4992;
    record->model = "DR-6600";
    record->serialNum = "1234-5678";
    record->callsign = "N0CALL";
    record->version = "3.4.35.141";
    record->status = "Available";
    if (wan) {
        record->wanRadio = true;
        record->publicIp = "203.0.113.9";
        record->public_tls_port = "4994";
        record->public_upnp_tls_port = "21000";
    }
    return record;
}

class WindowDelegatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (int pan = 0; pan < 4; ++pan) {
            panWindows[std::size_t(pan)] = std::make_unique<PanadapterWindow>(pan);
            windows.panWindows[std::size_t(pan)] = panWindows[std::size_t(pan)].get();
        }
        windows.prefsWindow = &prefs;
        windows.hud = &hud;
        windows.cwxWindow = &cwx;
        windows.windowMenu = &menu;
        windows.radioPortNamePopUp = &chooser;
        delegates = WindowDelegates::create(windows, host);
    }
    PanadapterWindow& main() { return *panWindows[0]; }

    std::array<std::unique_ptr<PanadapterWindow>, 4> panWindows;
    Window prefs, hud, cwx;
    WindowMenu menu;
    PopUpButton chooser;
    WindowDelegates::Windows windows;
    std::shared_ptr<Host> host = std::make_shared<Host>();
    std::shared_ptr<WindowDelegates> delegates;
};

TEST_F(WindowDelegatesTest, AWindowThatBecomesKeyIsListedInTheWindowMenu) {
    emit hud.didBecomeKey();
    emit cwx.didBecomeKey();
    emit cwx.didBecomeKey();  // listed once
    emit main().didBecomeKey();
    ASSERT_TRUE(menu.itemForWindow(hud));
    EXPECT_EQ(menu.itemForWindow(hud)->title(), "HUD");
    EXPECT_EQ(menu.itemForWindow(cwx)->title(), "CWX");
    EXPECT_FALSE(menu.itemForWindow(main())) << "the main windows have their own menu";
    EXPECT_FALSE(menu.itemForWindow(prefs));
    emit prefs.didBecomeKey();
    EXPECT_EQ(menu.itemForWindow(prefs)->title(), "Preferences");
}

TEST_F(WindowDelegatesTest, ThePreferencesFloatSeeThroughOnlyWhollyInsideAVisibleMainWindow) {
    main().setGeometry(0, 0, 1200, 800);
    main().show();
    prefs.setWindowTitle(QStringLiteral("Preferences"));
    prefs.setGeometry(100, 100, 400, 300);
    prefs.show();
    for (const bool dark : {false, true}) {
        host->dark = dark;
        delegates->adjustPrefsWindow();
        EXPECT_TRUE(prefs.isFloating());
        EXPECT_EQ(prefs.windowTitle(), "");
        EXPECT_TRUE(prefs.testAttribute(Qt::WA_TranslucentBackground));
        EXPECT_FLOAT_EQ(prefs.palette().color(QPalette::Window).alphaF(), dark ? 0.4f : 0.6f);
    }

    // Partly outside the main window: an ordinary window again.
    prefs.move(1000, 100);
    delegates->windowDidMove(prefs);
    EXPECT_FALSE(prefs.isFloating());
    EXPECT_EQ(prefs.windowTitle(), "Preferences");
    EXPECT_FALSE(prefs.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(prefs.palette().color(QPalette::Window).alpha(), 255);

    // Inside a hidden main window counts for nothing.
    prefs.move(100, 100);
    main().hide();
    delegates->adjustPrefsWindow();
    EXPECT_FALSE(prefs.isFloating());
}

// Floating over the other windows is for the active application only: resigning active puts the
// preferences at the normal level, becoming active floats them again over the main window.
TEST_F(WindowDelegatesTest, ThePreferencesFloatOnlyWhileTheApplicationIsActive) {
    main().setGeometry(0, 0, 1200, 800);
    main().show();
    prefs.setGeometry(100, 100, 400, 300);
    prefs.show();
    delegates->applicationDidBecomeActive();
    EXPECT_TRUE(prefs.isFloating());
    delegates->applicationWillResignActive();
    EXPECT_FALSE(prefs.isFloating());
    EXPECT_TRUE(prefs.isVisible());
    delegates->applicationDidBecomeActive();
    EXPECT_TRUE(prefs.isFloating());

    prefs.move(1000, 100);  // no longer held by the main window
    delegates->applicationWillResignActive();
    delegates->applicationDidBecomeActive();
    EXPECT_FALSE(prefs.isFloating());
}

// The application is occluded once none of its windows is exposed, and visible again with the
// first one shown; each change is told once.
TEST_F(WindowDelegatesTest, TheApplicationIsOccludedWhileNoWindowIsExposed) {
    main().show();
    cwx.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cwx));
    EXPECT_TRUE(delegates->applicationVisible());
    main().hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return main().isOccluded(); }));
    EXPECT_TRUE(host->occlusion.empty()) << "the CWX window is still there";
    cwx.hide();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->occlusion.size() == 1; }));
    EXPECT_FALSE(host->occlusion[0]);
    cwx.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return host->occlusion.size() == 2; }));
    EXPECT_TRUE(host->occlusion[1]);
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main()));
    EXPECT_EQ(host->occlusion.size(), 2u);
}

TEST_F(WindowDelegatesTest, TheHudIsOverTheFirstMainWindowItMeets) {
    for (int pan = 0; pan < 4; ++pan) {
        panWindows[std::size_t(pan)]->setGeometry(pan * 1000, 0, 900, 600);
    }
    hud.setGeometry(2100, 50, 200, 80);
    EXPECT_EQ(delegates->panWindowUnderHud(), 2);
    hud.move(850, 50);  // over windows 0 and 1
    EXPECT_EQ(delegates->panWindowUnderHud(), 0);
    hud.move(100, 5000);
    EXPECT_EQ(delegates->panWindowUnderHud(), std::nullopt);
    delegates->windowDidMove(hud);
    EXPECT_EQ(host->hudTitles, 1);
}

TEST_F(WindowDelegatesTest, TheChoosersToolTipDescribesTheChosenRadio) {
    delegates->setRadioTooltp();
    test::mainQueueBarrier();
    EXPECT_EQ(chooser.toolTip(), "No Radios on LAN");

    host->local = {radio("Shack", false)};
    host->remote = {radio("Shack", true)};
    chooser.addItem(QStringLiteral("Shack"));
    chooser.addItem(QStringLiteral("Shack (R)"));
    chooser.selectItemAtIndex(0);
    delegates->setRadioTooltp();
    test::mainQueueBarrier();
    EXPECT_EQ(chooser.toolTip().toStdString(),
              "Radio ip: \t192.168.1.20\nPort:     \t4992\nModel:    \tDR-6600\n"
              "Serial:   \t1234-5678\nName:     \tShack\nCall:     \tN0CALL\n"
              "Version:  \t3.4.35.141\nStatus:   \tAvailable");

    // A DoroLink radio: its public address and TLS port, the UPnP one when it has UPnP.
    chooser.selectItemAtIndex(1);
    delegates->setRadioTooltp();
    test::mainQueueBarrier();
    EXPECT_TRUE(chooser.toolTip().startsWith("Radio ip: \t203.0.113.9\nPort:     \t4994\n"));
    host->remote.front()->upnpSupported = true;
    delegates->setRadioTooltp();
    test::mainQueueBarrier();
    EXPECT_TRUE(chooser.toolTip().startsWith("Radio ip: \t203.0.113.9\nPort:     \t21000\n"));

    EXPECT_EQ(WindowDelegates::getDoroRadioInfo(nullptr), "radioInstance is nil");
}

}  // namespace
}  // namespace vm
