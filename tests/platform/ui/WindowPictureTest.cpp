// A window with one of each control, drawn offscreen at a device pixel ratio of 2 and saved under
// build/screenshots/ for a person to look at, in the light and the dark appearance.
#include "platform/ui/Appearance.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/LevelIndicator.h"
#include "platform/ui/Menu.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/Screenshot.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Stepper.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowMenu.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace vm {
namespace {

// Stand-ins for the application's images, drawn at 128 pixels as the bundle's are large.
QImage ball(const QColor& colour) {
    QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient shine(QPointF(48, 44), 70);
    shine.setColorAt(0, colour.lighter(170));
    shine.setColorAt(1, colour.darker(130));
    painter.setBrush(shine);
    painter.setPen(QPen(colour.darker(180), 3));
    painter.drawEllipse(QRectF(8, 8, 112, 112));
    return image;
}

QImage redButton() {
    QImage image(256, 96, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, 96);
    face.setColorAt(0, QColor(240, 110, 100));
    face.setColorAt(1, QColor(170, 30, 25));
    painter.setBrush(face);
    painter.setPen(QPen(QColor(110, 20, 15), 3));
    painter.drawRoundedRect(QRectF(3, 3, 250, 90), 18, 18);
    return image;
}

QImage playImage() {
    QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(36, 22);
    triangle.lineTo(108, 64);
    triangle.lineTo(36, 106);
    triangle.closeSubpath();
    painter.fillPath(triangle, QColor(40, 170, 70));
    return image;
}

class Radios : public TableDataSource {
public:
    int numberOfRows(TableView&) override { return 3; }
    QVariant objectValue(TableView&, const std::string& column, int row) override {
        static const char* names[] = {"station-1", "portable", "remote-shack"};
        static const char* models[] = {"DR-6600", "DR-6400", "DR-8600"};
        static const char* status[] = {"In_Use", "Available", "Available"};
        if (column == "name") {
            return QString(names[row]);
        }
        if (column == "model") {
            return QString(models[row]);
        }
        if (column == "ipAddress") {
            return QStringLiteral("127.0.0.%1").arg(row + 2);
        }
        if (column == "status") {
            return QVariant::fromValue(AttributedText{status[row], row == 0});
        }
        return QString();
    }
};

class ControlsWindow : public Window {
public:
    ControlsWindow() {
        setWindowTitle("velmoraSDR 20M");
        auto* radioMenu = new Menu("Radio", this);
        radioMenu->addItem("Connect", {}, QKeySequence("Ctrl+K"));
        radioMenu->addItem("Disconnect")->setEnabled(false);
        menuBar()->addMenu(radioMenu);
        auto* sliceMenu = new Menu("Slice", this);
        sliceMenu->addItem("Transmit");
        menuBar()->addMenu(sliceMenu);
        menuBar()->addMenu(new WindowMenu(this));

        auto* central = new QWidget;
        auto* form = new QFormLayout;
        form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
        form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
        form->setHorizontalSpacing(12);
        form->setVerticalSpacing(8);

        auto* popup = new PopUpButton;
        popup->addItems({"station-1", "remote-shack (R)"});
        form->addRow("Radio:", popup);

        auto* frequency = new TextField;
        frequency->setStringValue("14.074.000");
        frequency->setMaximumWidth(140);
        form->addRow("Frequency:", frequency);

        auto* volume = new Slider;
        volume->setMaxValue(100);
        volume->setDoubleValue(65);
        form->addRow("Volume:", volume);

        auto* step = new Stepper;
        step->setMaxValue(10000);
        step->setDoubleValue(100);
        step->setMaximumWidth(100);
        form->addRow("RIT (Hz):", step);

        auto* remote = new CheckBox("Remote audio");
        remote->setState(true);
        form->addRow("", remote);

        auto* well = new ColorWell;
        well->setColor(QColor(255, 200, 40));
        form->addRow("Spot colour:", well);

        auto* sMeter = new LevelIndicator;
        sMeter->setWarningValue(24);
        sMeter->setCriticalValue(29);
        sMeter->setDoubleValue(40);
        form->addRow("S-meter (40):", sMeter);
        auto* mic = new LevelIndicator;
        mic->setDoubleValue(12);
        form->addRow("Mic:", mic);

        auto* buttons = new QHBoxLayout;
        buttons->setSpacing(10);
        auto* lamp = new ImageButton;
        lamp->setImage(ball(QColor(40, 190, 60)));
        lamp->setFixedSize(22, 22);
        lamp->setToolTip("DoroControl");
        auto* transmit = new ImageButton;
        transmit->setImage(redButton());
        transmit->setText("MOX");
        transmit->setPalette(QPalette(Qt::white, Qt::black));
        transmit->setFixedSize(72, 28);
        auto* play = new ImageButton;
        play->setImage(playImage());
        play->setFixedSize(24, 24);
        auto* spinner = new ProgressIndicator;
        spinner->startAnimation();
        buttons->addWidget(lamp);
        buttons->addWidget(transmit);
        buttons->addWidget(play);
        buttons->addSpacing(12);
        buttons->addWidget(spinner);
        buttons->addWidget(new QLabel("Connecting..."));
        buttons->addStretch(1);
        form->addRow("Buttons:", buttons);

        table = new TableView;
        table->setColumns({{"name", "Name", 130},
                           {"model", "Model", 90},
                           {"ipAddress", "IP Address", 110},
                           {"status", "Status", 90}});
        table->setDataSource(radios);
        table->setMinimumHeight(110);

        auto* layout = new QVBoxLayout(central);
        layout->setContentsMargins(16, 12, 16, 16);
        layout->setSpacing(12);
        layout->addLayout(form);
        layout->addWidget(table, 1);
        setCentralWidget(central);
        resize(520, 520);
    }

    std::shared_ptr<Radios> radios = std::make_shared<Radios>();
    TableView* table = nullptr;
};

TEST(WindowPicture, OneOfEachControlLightAndDark) {
    for (bool dark : {false, true}) {
        ControlsWindow window;
        window.setPalette(desiredAppearanceObject(dark));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.table->selectRowIndexes({1}, false);
        test::saveScreenshot(
            window, dark ? "platform_ui_controls_dark.png" : "platform_ui_controls_light.png");
    }
}

}  // namespace
}  // namespace vm
