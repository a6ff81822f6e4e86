#include "platform/core/Defaults.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/Colors.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Stepper.h"
#include "support/LogCapture.h"

#include <QColorDialog>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>

namespace vm {
namespace {

PopUpButton* fivePopUp(QWidget* parent = nullptr) {
    auto* popup = new PopUpButton(parent);
    popup->addItems({"A", "B", "C", "D", "E"});
    return popup;
}

TEST(PopUpButton, SafeSelectKeepsTheSelectionOutOfRange) {
    std::unique_ptr<PopUpButton> popup(fivePopUp());
    popup->safeSelectItemAtIndex(2);
    EXPECT_EQ(popup->indexOfSelectedItem(), 2);
    for (long index : {5L, -1L, 1L << 40}) {
        test::LogCapture log;
        popup->safeSelectItemAtIndex(index);
        EXPECT_EQ(popup->indexOfSelectedItem(), 2);
        EXPECT_EQ(log.lines(),
                  std::vector<std::string>{fmt::format(
                      "safeSelectItemAtIndex:{} is out of range items:5 in popup:[C]", index)});
    }
}

TEST(PopUpButton, SelectsByTitleExactlyAndSendsNoActionFromCode) {
    std::unique_ptr<PopUpButton> popup(fivePopUp());
    QSignalSpy actions(popup.get(), &PopUpButton::action);
    popup->selectItemWithTitle("D");
    EXPECT_EQ(popup->title(), "D");
    EXPECT_EQ(popup->indexOfItemWithTitle("d"), -1);
    popup->selectItemWithTitle("missing");
    EXPECT_EQ(popup->indexOfSelectedItem(), -1);
    EXPECT_EQ(popup->title(), "");
    EXPECT_EQ(actions.count(), 0);
    QTest::keyClick(popup.get(), Qt::Key_Down);  // a choice by the user
    EXPECT_EQ(actions.count(), 1);
    EXPECT_EQ(popup->title(), "A");
}

// A wheel event of `notches` units, as the window system delivers it.
void turnWheel(QWidget& widget, double notches, bool inverted) {
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(),
                      QPoint(0, int(notches * double(QWheelEvent::DefaultDeltasPerStep))),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, inverted);
    QApplication::sendEvent(&widget, &event);
}

struct WheelCase {
    double min, max, start, notches;
    bool inverted, circular;
    double expected;
};

TEST(Slider, ScrollWheelMovesAHundredthOfTheRangeAndSendsTheAction) {
    const WheelCase cases[] = {
        {0, 200, 100, 1, false, false, 102},     {0, 200, 100, 1, true, false, 98},
        {0, 200, 100, -3, false, false, 94},     {0, 200, 199, 1, false, false, 200},  // clamped
        {0, 360, 359, 1, false, true, 3.6},       // wraps over the maximum
        {0, 360, 1, -1, false, true, 360 - 3.6},  // and under the minimum
        {0, 360, 359, 1, true, true, 359 - 3.6},
    };
    for (const WheelCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.start << " + " << c.notches << (c.inverted ? " inverted" : "")
                     << (c.circular ? " circular" : ""));
        Slider slider;
        slider.resize(200, 20);
        slider.setMaxValue(c.max);
        slider.setMinValue(c.min);
        slider.setCircular(c.circular);
        slider.setDoubleValue(c.start);
        QSignalSpy actions(&slider, &Slider::action);
        turnWheel(slider, c.notches, c.inverted);
        EXPECT_NEAR(slider.doubleValue(), c.expected, 1e-4);
        EXPECT_EQ(actions.count(), 1);
    }
}

TEST(Slider, LogScaleReadsBackTheValue) {
    Slider slider;
    slider.setMaxValue(std::log(100.0));
    slider.setLogValue(100);
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 4.605170185988092);
    EXPECT_DOUBLE_EQ(slider.getLogValue(), 100.0);
    slider.setLogValue(1);
    EXPECT_DOUBLE_EQ(slider.getLogValue(), 1.0);
    slider.setLogValue(0);  // ln 0 is minus infinity: the minimum
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 0.0);
    slider.setLogValue(-5);  // no logarithm: ignored
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 0.0);
}

TEST(Slider, ValuesFromCodeSendNoActionAndUserMovesDo) {
    Slider slider;
    slider.resize(200, 20);
    slider.setMaxValue(10);
    QSignalSpy actions(&slider, &Slider::action);
    slider.setDoubleValue(2.5);
    slider.setIntValue(20);
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 10.0);
    EXPECT_EQ(actions.count(), 0);
    slider.setFocus();
    QTest::keyClick(&slider, Qt::Key_Home);
    EXPECT_EQ(actions.count(), 1);
    EXPECT_DOUBLE_EQ(slider.doubleValue(), 0.0);
}

TEST(Stepper, ArrowsStepAndWrapWheelFollowsTheRange) {
    Stepper stepper;
    stepper.setMaxValue(10);
    stepper.setIncrement(2);
    stepper.setDoubleValue(9);
    QSignalSpy actions(&stepper, &Stepper::action);
    stepper.stepBy(1);
    EXPECT_DOUBLE_EQ(stepper.doubleValue(), 10.0);  // clamped
    stepper.setValueWraps(true);
    stepper.stepBy(1);
    EXPECT_DOUBLE_EQ(stepper.doubleValue(), 0.0);
    stepper.stepBy(-1);
    EXPECT_DOUBLE_EQ(stepper.doubleValue(), 10.0);
    turnWheel(stepper, -1, false);
    EXPECT_NEAR(stepper.doubleValue(), 9.9, 1e-6);
    turnWheel(stepper, -1, true);
    EXPECT_DOUBLE_EQ(stepper.doubleValue(), 10.0);  // not circular: clamped
    EXPECT_EQ(actions.count(), 5);
    stepper.setDoubleValue(4);
    EXPECT_EQ(actions.count(), 5);
}

class ColorWellPrefs : public ::testing::Test {
protected:
    void TearDown() override { Defaults::standard().remove(kKey); }
    static constexpr const char* kKey = "test_well_colour";
    ColorWell well;
};

TEST_F(ColorWellPrefs, StoredColourRoundTrips) {
    well.setColor(QColor::fromRgbF(0.25f, 0.5f, 1.0f, 0.75f));
    EXPECT_EQ(well.saveColorWithKey(kKey), well.color());
    ColorWell other;
    auto set = other.setColorWithPrefKey(kKey, QColor(Qt::red));
    ASSERT_TRUE(set);
    EXPECT_EQ(*set, well.color());
    EXPECT_EQ(other.color(), well.color());
}

TEST_F(ColorWellPrefs, MissingOrBadDataTakesTheDefault) {
    const PlistValue bad[] = {
        PlistValue("#ff0000"),
        PlistValue(PlistData{1, 2, 3}),
        PlistValue(PlistArray{1.0, 0.0, 0.0}),
        PlistValue(PlistArray{1.0, 0.0, 0.0, 2.0}),
        PlistValue(PlistArray{1.0, "0", 0.0, 1.0}),
    };
    EXPECT_EQ(well.setColorWithPrefKey(kKey, QColor(Qt::green)), QColor(Qt::green));
    for (const PlistValue& value : bad) {
        Defaults::standard().set(kKey, value);
        well.setColor(Qt::black);
        EXPECT_EQ(well.setColorWithPrefKey(kKey, QColor(Qt::green)), QColor(Qt::green));
        EXPECT_EQ(well.color(), QColor(Qt::green));
    }
    well.setColor(Qt::black);
    EXPECT_EQ(well.setColorWithPrefKey(kKey, std::nullopt), std::nullopt);
    EXPECT_EQ(well.color(), QColor(Qt::black));
}

TEST_F(ColorWellPrefs, EmptyKeyStoresNothing) {
    well.setColor(Qt::blue);
    EXPECT_EQ(well.saveColorWithKey(""), QColor(Qt::blue));
    EXPECT_FALSE(Defaults::standard().object(""));
    EXPECT_EQ(well.setColorWithPrefKey("", QColor(Qt::red)), QColor(Qt::red));
}

TEST(ColorWell, AColourChosenInTheDialogSendsTheAction) {
    ColorWell well;
    well.resize(60, 30);
    QSignalSpy actions(&well, &ColorWell::action);
    QTest::mouseClick(&well, Qt::LeftButton);
    ASSERT_TRUE(well.dialog());
    well.dialog()->setCurrentColor(Qt::magenta);
    well.dialog()->accept();
    EXPECT_EQ(well.color(), QColor(Qt::magenta));
    EXPECT_EQ(actions.count(), 1);
}

TEST(Colors, BrighterColorMovesBrightnessOnly) {
    const QColor darkRed = QColor::fromHsvF(0.0f, 1.0f, 0.5f, 0.5f);
    const QColor brighter = colors::brighterColor(darkRed, 0.25);
    EXPECT_NEAR(brighter.valueF(), 0.75f, 1e-4);
    EXPECT_NEAR(brighter.hsvSaturationF(), 1.0f, 1e-4);
    EXPECT_NEAR(brighter.alphaF(), 0.5f, 1e-4);
    EXPECT_NEAR(colors::brighterColor(darkRed, 0.9).valueF(), 1.0f, 1e-4);
    EXPECT_NEAR(colors::brighterColor(darkRed, -0.9).valueF(), 0.0f, 1e-4);
    EXPECT_NEAR(colors::brighterColor(QColor(128, 128, 128), 0.1).valueF(), 128 / 255.0f + 0.1f,
                1e-4);
}

}  // namespace
}  // namespace vm
