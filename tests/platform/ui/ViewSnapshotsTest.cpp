#include "platform/ui/Appearance.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Stepper.h"
#include "platform/ui/ViewSnapshots.h"
#include "support/LogCapture.h"

#include <QFile>
#include <QFormLayout>
#include <QLabel>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace vm {
namespace {

// A window with one of each control, in the dark appearance.
class TestWindow : public QWidget {
public:
    TestWindow() {
        setPalette(desiredAppearanceObject(true));
        setAutoFillBackground(true);
        auto* tabs = new QTabWidget(this);
        auto* page = new QWidget;
        auto* form = new QFormLayout(page);
        auto* band = new PopUpButton;
        band->addItems({"20m", "40m", "80m"});
        band->selectItemAtIndex(1);
        form->addRow("Band", band);
        auto* volume = new Slider;
        volume->setMaxValue(100);
        volume->setDoubleValue(70);
        form->addRow("Volume", volume);
        auto* step = new Stepper;
        step->setDoubleValue(25);
        form->addRow("Step", step);
        auto* well = new ColorWell;
        well->setColor(QColor(255, 160, 0));
        form->addRow("Trace", well);
        auto* mute = new CheckBox("Mute");
        mute->setState(true);
        form->addRow("", mute);
        tabs->addTab(page, "Slice A");
        tabs->addTab(new QWidget, "Slice B");
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(tabs);
        resize(320, 240);
    }
};

TEST(ViewSnapshots, TestWindowSnapshotIsSavedAsPng) {
    TestWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QImage drawn = views::imageDrawn(window);
    ASSERT_EQ(drawn.size(), QSize(320, 240));
    EXPECT_TRUE(drawn.hasAlphaChannel());
    EXPECT_EQ(drawn.pixelColor(2, 2), desiredAppearanceObject(true).color(QPalette::Window));

    const auto png = views::get2dPngData(window, 0.5f);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    QImage decoded;
    ASSERT_TRUE(
        decoded.loadFromData(reinterpret_cast<const uchar*>(png->data()), int(png->size()), "PNG"));
    EXPECT_EQ(decoded.size(), QSize(320, 240));

    QFile file(QStringLiteral(VM_TEST_OUTPUT_DIR "/test-window.png"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_EQ(file.write(png->data(), qint64(png->size())), qint64(png->size()));
}

TEST(ViewSnapshots, HiddenOrEmptyViews) {
    QLabel label("snapshot");
    label.resize(80, 20);
    label.setAutoFillBackground(true);
    label.setPalette(QPalette(Qt::black, Qt::white));

    test::LogCapture log;
    EXPECT_FALSE(views::get2dPngData(label, 1.0f));  // never shown
    EXPECT_EQ(log.lines(), std::vector<std::string>{"get2dPngData:no imageRep"});

    const QImage hidden = views::imageRepresentation(label);
    EXPECT_TRUE(label.isHidden());
    ASSERT_EQ(hidden.size(), QSize(80, 20));
    EXPECT_EQ(hidden.pixelColor(1, 1), QColor(Qt::white));
    EXPECT_NE(hidden, QImage(hidden.size(), hidden.format()).copy()) << "the text is drawn";

    QWidget empty;
    empty.resize(0, 10);
    EXPECT_TRUE(views::imageDrawn(empty).isNull());
    EXPECT_TRUE(views::imageRepresentation(empty).isNull());
}

}  // namespace
}  // namespace vm
