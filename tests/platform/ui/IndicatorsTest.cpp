#include "platform/ui/Beep.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/LevelIndicator.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/TextField.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <iomanip>
#include <sstream>

namespace vm {
namespace {

// Kilohertz with one decimal: digits and one point may be typed.
NumberFormatter kilohertz() {
    NumberFormatter f;
    f.stringForValue = [](double value) -> std::optional<std::string> {
        if (!std::isfinite(value)) {
            return std::nullopt;
        }
        std::ostringstream text;
        text << std::fixed << std::setprecision(1) << value;
        return text.str();
    };
    f.valueForString = [](const std::string& text) -> std::optional<double> {
        if (text.empty() || text == ".") {
            return std::nullopt;
        }
        return std::stod(text);
    };
    f.isPartialStringValid = [](const std::string& text) {
        return text.find_first_not_of("0123456789.") == std::string::npos &&
               std::count(text.begin(), text.end(), '.') <= 1;
    };
    return f;
}

class TextFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(&field);
        layout->addWidget(&next);
        field.setFormatter(kilohertz());
        field.setDoubleValue(5.25);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        field.setFocus();
        previousBeep = setBeepHandler([this] { ++beeps; });
    }
    void TearDown() override { setBeepHandler(previousBeep); }

    QWidget window;
    TextField field{&window};
    QLineEdit next{&window};
    BeepHandler previousBeep;
    int beeps = 0;
};

TEST_F(TextFieldTest, TypingBeginsAndReturnEndsAnEditThroughTheFormatter) {
    EXPECT_EQ(field.stringValue(), "5.2");  // as the formatter writes it
    QSignalSpy begin(&field, &TextField::beginEditing);
    QSignalSpy end(&field, &TextField::endEditing);
    QSignalSpy changed(&field, &TextField::textDidChange);
    QSignalSpy action(&field, &TextField::action);

    field.selectAll();
    QTest::keyClicks(&field, "7a0.x25");  // the letters are refused
    EXPECT_EQ(field.stringValue(), "70.25");
    EXPECT_EQ(begin.count(), 1);
    EXPECT_EQ(changed.count(), 5);
    EXPECT_EQ(end.count(), 0);
    EXPECT_TRUE(field.isEditing());

    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(end.count(), 1);
    EXPECT_EQ(action.count(), 1);
    EXPECT_EQ(field.stringValue(), "70.2");
    EXPECT_DOUBLE_EQ(field.doubleValue(), 70.2);
    EXPECT_EQ(field.intValue(), 70);

    // A text that does not read as a number beeps and shows the last value again.
    field.selectAll();
    QTest::keyClicks(&field, ".");
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(field.stringValue(), "70.2");
    EXPECT_EQ(end.count(), 2);
    EXPECT_EQ(begin.count(), 2);
}

TEST_F(TextFieldTest, LeavingTheFieldEndsAnEditEvenWhenTheTextCameBack) {
    QSignalSpy end(&field, &TextField::endEditing);
    QSignalSpy action(&field, &TextField::action);
    field.end(false);
    QTest::keyClick(&field, Qt::Key_1);
    QTest::keyClick(&field, Qt::Key_Backspace);
    EXPECT_EQ(field.stringValue(), "5.2");
    next.setFocus();
    EXPECT_TRUE(QTest::qWaitFor([&] { return end.count() == 1; }));
    EXPECT_EQ(action.count(), 0);
    EXPECT_EQ(beeps, 0);
    EXPECT_FALSE(field.isEditing());
}

TEST_F(TextFieldTest, ValuesFromCodeSendNothing) {
    QSignalSpy begin(&field, &TextField::beginEditing);
    QSignalSpy end(&field, &TextField::endEditing);
    field.setDoubleValue(14.0);
    field.setIntValue(3);
    EXPECT_EQ(field.stringValue(), "3.0");
    EXPECT_EQ(begin.count() + end.count(), 0);
}

TEST(TextField, WithoutAFormatterReadsTheLeadingNumber) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"  12.5 kHz", 12.5}, {"-3", -3.0}, {"abc", 0.0}, {"", 0.0}, {"1e3", 1000.0}};
    TextField field;
    for (const Case& c : cases) {
        field.setStringValue(c.text);
        EXPECT_DOUBLE_EQ(field.doubleValue(), c.value) << c.text;
    }
    field.setStringValue("99999999999");
    EXPECT_EQ(field.intValue(), INT_MAX);
}

// The colour in the middle of segment `index` of a drawn indicator.
QColor segmentColour(const QImage& image, const LevelIndicator& meter, int index) {
    const double width = double(meter.width()) / meter.segmentCount();
    return image.pixelColor(int((index + 0.5) * width), meter.height() / 2);
}

TEST(LevelIndicator, KeepsAnOverfilledValueAndDrawsItFull) {
    struct Case {
        double value;
        int lit;
    };
    const Case cases[] = {{-3, 0}, {0, 0}, {15.99, 15}, {16, 16}, {32, 32}, {40, 32}};
    LevelIndicator meter;
    meter.resize(320, 14);
    EXPECT_EQ(meter.segmentCount(), 32);
    for (const Case& c : cases) {
        meter.setDoubleValue(c.value);
        EXPECT_DOUBLE_EQ(meter.doubleValue(), c.value);
        EXPECT_EQ(meter.litSegments(), c.lit) << c.value;
    }
    meter.setDoubleValue(std::nan(""));
    EXPECT_DOUBLE_EQ(meter.doubleValue(), 40.0);

    const QImage full = meter.grab().toImage();
    const QColor lit = segmentColour(full, meter, 0);
    EXPECT_EQ(segmentColour(full, meter, 31), lit);
    meter.setDoubleValue(16);
    const QImage half = meter.grab().toImage();
    EXPECT_EQ(segmentColour(half, meter, 15), lit);
    EXPECT_NE(segmentColour(half, meter, 16), lit);
}

TEST(LevelIndicator, WarningAndCriticalSegmentsChangeColourAndWideRangesAreContinuous) {
    LevelIndicator meter;
    meter.resize(320, 14);
    meter.setWarningValue(20);
    meter.setCriticalValue(28);
    meter.setDoubleValue(32);
    const QImage image = meter.grab().toImage();
    const QColor normal = segmentColour(image, meter, 10);
    const QColor warning = segmentColour(image, meter, 22);
    const QColor critical = segmentColour(image, meter, 30);
    EXPECT_NE(normal, warning);
    EXPECT_NE(warning, critical);
    EXPECT_NE(normal, critical);

    meter.setMinValue(-150);
    meter.setMaxValue(0);
    EXPECT_EQ(meter.segmentCount(), 0);
    meter.setDoubleValue(-75);
    EXPECT_DOUBLE_EQ(meter.doubleValue(), -75.0);
}

TEST(ImageButton, ToggleKeepsItsStateAndSendsTheActionOnClicksOnly) {
    ImageButton button;
    QImage bulb(32, 32, QImage::Format_ARGB32);
    bulb.fill(Qt::green);
    button.setImage(bulb);
    button.setCheckable(true);
    button.resize(24, 24);
    QSignalSpy actions(&button, &ImageButton::action);
    button.setState(true);
    EXPECT_EQ(actions.count(), 0);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_FALSE(button.state());
    EXPECT_EQ(actions.count(), 1);

    const QImage drawn = button.grab().toImage();
    EXPECT_EQ(drawn.pixelColor(12, 12), QColor(Qt::green));
}

TEST(ProgressIndicator, DrawsOnlyWhileAnimating) {
    ProgressIndicator spinner;
    spinner.resize(20, 20);
    auto drawsSomething = [&] {
        QImage image(spinner.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        spinner.render(&image, {}, {}, QWidget::DrawChildren);
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qAlpha(image.pixel(x, y)) != 0) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_FALSE(drawsSomething());
    spinner.startAnimation();
    EXPECT_TRUE(spinner.isAnimating());
    EXPECT_TRUE(drawsSomething());
    spinner.stopAnimation();
    EXPECT_FALSE(spinner.isAnimating());
    EXPECT_FALSE(drawsSomething());
}

}  // namespace
}  // namespace vm
