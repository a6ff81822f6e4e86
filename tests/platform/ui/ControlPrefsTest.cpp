#include "platform/core/Defaults.h"
#include "platform/ui/Appearance.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ControlPrefs.h"
#include "platform/ui/KeyModifiers.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"

#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace vm {
namespace {

constexpr const char* kKey = "test_control_pref";

class ControlPrefs : public ::testing::Test {
protected:
    void TearDown() override { Defaults::standard().remove(kKey); }
    // Stores `value` under the key, or removes the key.
    static void store(const std::optional<PlistValue>& value) {
        if (value) {
            Defaults::standard().set(kKey, *value);
        } else {
            Defaults::standard().remove(kKey);
        }
    }
};

TEST_F(ControlPrefs, SliderTakesTheStoredIntegerOrFifty) {
    Slider slider;
    slider.setMaxValue(100);
    QSignalSpy actions(&slider, &Slider::action);
    const std::pair<std::optional<PlistValue>, double> cases[] = {
        {std::nullopt, 50}, {PlistValue(30), 30}, {PlistValue(12.7), 12}, {PlistValue("75"), 75}};
    for (const auto& [stored, expected] : cases) {
        store(stored);
        slider.setDoubleValue(1);
        setSliderWithPref(&slider, kKey);
        EXPECT_DOUBLE_EQ(slider.doubleValue(), expected);
    }
    slider.setDoubleValue(1);
    setSliderWithPref(&slider, "");
    setSliderWithPref(nullptr, kKey);
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 1.0);
    EXPECT_EQ(actions.count(), 0);
}

TEST_F(ControlPrefs, TabViewTakesTheStoredIndexClamped) {
    QTabWidget tabs;
    for (const char* name : {"one", "two", "three"}) {
        tabs.addTab(new QWidget, name);
    }
    const std::pair<std::optional<PlistValue>, int> cases[] = {
        {PlistValue(7), 2}, {PlistValue(-1), 0}, {PlistValue(1), 1}, {std::nullopt, 1}};
    for (const auto& [stored, expected] : cases) {
        store(stored);
        safeSelectTabViewWithPref(&tabs, kKey);
        EXPECT_EQ(tabs.currentIndex(), expected);
    }
    QTabWidget empty;
    store(PlistValue(3));
    safeSelectTabViewWithPref(&empty, kKey);
    EXPECT_EQ(empty.currentIndex(), -1);
}

TEST_F(ControlPrefs, CheckBoxTakesTheStoredBooleanOrTheDefault) {
    CheckBox box;
    store(std::nullopt);
    setCheckBoxWithPrefAndDefault(&box, kKey, true);
    EXPECT_TRUE(box.state());
    store(PlistValue(false));
    setCheckBoxWithPrefAndDefault(&box, kKey, true);
    EXPECT_FALSE(box.state());
    store(PlistValue(true));
    setCheckBoxWithPrefAndDefault(&box, "", false);
    EXPECT_FALSE(box.state());
}

TEST_F(ControlPrefs, PopUpTakesTheStoredTitleElseTheFirstItem) {
    PopUpButton popup;
    popup.addItems({"20m", "40m", "80m"});
    const std::pair<std::optional<PlistValue>, std::string> cases[] = {{PlistValue("40m"), "40m"},
                                                                       {PlistValue("160m"), "20m"},
                                                                       {PlistValue("80m"), "80m"},
                                                                       {std::nullopt, "20m"}};
    for (const auto& [stored, expected] : cases) {
        store(stored);
        setPopupWithPrefTitle(&popup, kKey);
        EXPECT_EQ(popup.title(), expected);
    }
    PopUpButton empty;
    setPopupWithPrefTitle(&empty, kKey);
    EXPECT_EQ(empty.indexOfSelectedItem(), -1);
}

TEST(FrequencyKeyModifier, FirstHeldModifierChoosesTheStep) {
    const std::pair<Qt::KeyboardModifiers, double> cases[] = {
        {Qt::NoModifier, 100.0},
        {Qt::ShiftModifier, 10.0},
        {Qt::ShiftModifier | Qt::ControlModifier, 10.0},
        {Qt::ControlModifier | Qt::AltModifier, 1000.0},
        {Qt::AltModifier | Qt::MetaModifier, 10000.0},
        {Qt::MetaModifier, 100000.0},
        {Qt::KeypadModifier, 100.0},
    };
    for (const auto& [modifiers, step] : cases) {
        EXPECT_EQ(frequencyStepForModifiers(modifiers), step) << modifiers;
    }
}

TEST(FrequencyKeyModifier, ReadsTheModifiersOfTheLastInputEvent) {
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::keyPress(window.windowHandle(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_EQ(getFrequencyKeyModifier(), 1000.0);
    QTest::keyRelease(window.windowHandle(), Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(getFrequencyKeyModifier(), 100.0);
}

TEST(Appearance, DarkAndLightPalettes) {
    const QPalette dark = desiredAppearanceObject(true);
    const QPalette light = desiredAppearanceObject(false);
    EXPECT_LT(dark.color(QPalette::Window).lightness(),
              dark.color(QPalette::WindowText).lightness());
    EXPECT_LT(dark.color(QPalette::Base).lightness(), dark.color(QPalette::Text).lightness());
    EXPECT_GT(light.color(QPalette::Window).lightness(),
              light.color(QPalette::WindowText).lightness());
    EXPECT_GT(light.color(QPalette::Base).lightness(), light.color(QPalette::Text).lightness());
}

}  // namespace
}  // namespace vm
