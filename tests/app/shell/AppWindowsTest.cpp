// The windows as the user sees them: every one drawn for a person to look at, every one usable on
// a 1366 x 768 screen, and the outlets that later code finds by name present in each.
#include "AppFixture.h"

#include "../../platform/ui/Screenshot.h"
#include "app/windows/CwxWindow.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MainControlsBar.h"
#include "app/windows/MainMenus.h"
#include "app/windows/MemoryPanel.h"
#include "app/windows/PanadapterWindow.h"
#include "app/windows/PreferencesWindow.h"
#include "app/windows/TnfPanel.h"
#include "platform/ui/ImageButton.h"
#include "support/LogCapture.h"

#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

namespace vm {
namespace {

using test::AppFixture;

// No label or button of the window has less room than its text needs.
void expectNoClippedText(QWidget& top, const QString& where) {
    for (QLabel* label : top.findChildren<QLabel*>()) {
        if (label->isVisibleTo(&top) && !label->text().isEmpty() && !label->wordWrap()) {
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << where.toStdString() << ": " << label->text().toStdString();
        }
    }
}

void fitsSmallScreen(QWidget& window, const QString& name) {
    const QSize needed = window.minimumSizeHint().expandedTo(window.minimumSize());
    EXPECT_LE(needed.width(), 1366) << name.toStdString();
    EXPECT_LE(needed.height(), 768 - 60) << name.toStdString();  // a panel and a title bar
}

TEST_F(AppFixture, EveryWindowIsDrawnAndFitsA1366By768Screen) {
    launch();
    struct Shot {
        QWidget* window;
        const char* file;
    };
    std::vector<Shot> shots{{panadapter(0).velmoraSDRWindow.get(), "app_panadapter_window_0.png"},
                            {panadapter(1).velmoraSDRWindow.get(), "app_panadapter_window_1.png"},
                            {controller->hud, "app_hud.png"},
                            {controller->cwxWindow, "app_cwx_window.png"},
                            {controller->memoryPanel, "app_memory_panel.png"},
                            {controller->tnfPanel, "app_tnf_panel.png"}};
    for (const Shot& shot : shots) {
        shot.window->show();
        QApplication::processEvents();
        fitsSmallScreen(*shot.window, shot.file);
        expectNoClippedText(*shot.window, shot.file);
        test::saveScreenshot(*shot.window, shot.file);
    }
    // The first panadapter window at the size of a small laptop screen.
    PanadapterWindow& mainWindow = *panadapter(0).velmoraSDRWindow;
    mainWindow.resize(1366, 700);
    QApplication::processEvents();
    expectNoClippedText(mainWindow, "panadapter window at 1366");
    test::saveScreenshot(mainWindow, "app_panadapter_window_0_1366.png");

    PreferencesWindow& prefs = *controller->prefsWindow;
    prefs.show();
    fitsSmallScreen(prefs, "prefs");
    auto& tabs = prefsControl<QTabWidget>("prefsTabView");
    for (int tab = 0; tab < tabs.count(); ++tab) {
        tabs.setCurrentIndex(tab);
        QApplication::processEvents();
        const QString name = tabs.tabText(tab).toLower();
        expectNoClippedText(prefs, name);
        test::saveScreenshot(
            prefs, QStringLiteral("app_prefs_%1_%2.png").arg(tab, 2, 10, QChar('0')).arg(name));
    }
}

TEST_F(AppFixture, RepeatedSetsCarryTheirLetterOrSuffixAndTheTabsKeepTheirIndexes) {
    launch();
    PreferencesWindow& prefs = *controller->prefsWindow;
    for (const char* name :
         {"volumeASlider", "volumeDSlider", "sliceBMuteCheckBox", "qrLengthTextC", "filterLoTextD",
          "sliceFilterHiBStepper", "sliceRITCStepper", "filterPresetApopup", "sliceDFreqText",
          "mem_rxAntApopup", "mem_txAntDpopup", "eq_rx_slider7", "eq_tx_val0", "meter_28_Label",
          "amp_meter_label_4", "radioTx3DelayText", "doroControlAux3Popup",
          "viewProportionText3"}) {
        const bool found =
            prefs.findChild<QWidget*>(name) || controller->memoryPanel->findChild<QWidget*>(name);
        EXPECT_TRUE(found) << name;
    }
    for (const char* name : {"bandwidthSlider", "fpsText3", "wnbButton2", "panAdapterViewArea1",
                             "waterFallViewArea3"}) {
        bool found = false;
        for (const auto& pan : controller->panadapters) {
            found = found || pan->velmoraSDRWindow->findChild<QWidget*>(name);
        }
        EXPECT_TRUE(found) << name;
    }
    const auto& tabs = prefsControl<QTabWidget>("prefsTabView");
    EXPECT_EQ(tabs.widget(2)->findChild<QWidget*>("sliceTabView"),
              &prefsControl<QTabWidget>("sliceTabView"));
    EXPECT_EQ(tabs.tabText(4), "Audio");
    EXPECT_EQ(tabs.tabText(6), "Meters");
    EXPECT_EQ(tabs.tabText(10), "Amplifier");
    Menu* shortcuts = controller->menus->shortcutsMenu;
    EXPECT_EQ(shortcuts->itemAtIndex(4), controller->menus->centerShortcutsMenu);
    EXPECT_EQ(shortcuts->itemAtIndex(14), controller->menus->activeShortcutsMenu);
    EXPECT_EQ(shortcuts->itemAtIndex(16), controller->menus->transmitShortcutsMenu);
}

TEST_F(AppFixture, WithoutARadioTheActivityLightBlinksYellowAndTheTabsReadOff) {
    launch();
    ImageButton& light = *controller->mainControls->pollButton;
    ASSERT_TRUE(runMainUntil([&] { return light.image() == controller->yellowBulb; }));
    ASSERT_TRUE(runMainUntil([&] { return light.image() == controller->greyBulb; }));
    auto& tabs = prefsControl<QTabWidget>("sliceTabView");
    for (int tab = 0; tab < 4; ++tab) {
        EXPECT_EQ(tabs.tabText(tab), QStringLiteral("Off"));
    }
}

// With the debug log on, the application notes when none of its windows can be seen any more and
// when one can again.
TEST_F(AppFixture, HidingEveryWindowOccludesTheApplicationAndShowingOneMakesItVisible) {
    Defaults::standard().set("debug_state", PlistValue(std::int64_t{1}));
    launch();
    PanadapterWindow& main = *controller->panadapters[0]->velmoraSDRWindow;
    main.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main.isOccluded(); }));
    ASSERT_FALSE(controller->applicationOccluded);
    test::LogCapture capture;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->hide();
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return controller->applicationOccluded; }));
    EXPECT_TRUE(capture.contains("applicationDidChangeOcclusionState: Occluded"));
    main.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !controller->applicationOccluded; }));
    EXPECT_TRUE(capture.contains("applicationDidChangeOcclusionState: Visible"));
}

}  // namespace
}  // namespace vm
