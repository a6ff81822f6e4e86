#include "app/windows/PanControls.h"

#include <QEvent>
#include <QHBoxLayout>

namespace vm {

using namespace kit;

QString panSuffix(int pan) { return pan == 0 ? QString() : QString::number(pan); }

namespace {

// Keeps a control's captioned box shown exactly while the control itself is meant to be shown,
// so a hidden control leaves no caption behind.
class FollowVisibility : public QObject {
public:
    FollowVisibility(QWidget* control, QWidget* box) : QObject(control), box_(box) {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::ShowToParent) {
            box_->show();
        } else if (event->type() == QEvent::HideToParent) {
            box_->hide();
        }
        return false;
    }

private:
    QWidget* box_;
};

// A caption over a control and its value field, so that a row of them reads like a console.
QWidget* stacked(QWidget* parent, const QString& caption, QWidget* control,
                 QWidget* value = nullptr) {
    auto* box = new QWidget(parent);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(1);
    auto* title = new QLabel(caption, box);
    QFont small = title->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    title->setFont(small);
    grid->addWidget(title, 0, 0, 1, 2);
    grid->addWidget(control, 1, 0);
    if (value) {
        grid->addWidget(value, 1, 1);
    }
    return box;
}

}  // namespace

PanControls::PanControls(int pan, QWidget* parent) : QWidget(parent), pan_(pan) {
    const QString suffix = panSuffix(pan);
    setObjectName(outletName("panControls%s", suffix));
    auto name = [&suffix](const char* pattern) { return outletName(pattern, suffix); };

    bandText = textField(this, name("bandText%s"), true);
    bandwidthSlider = slider(this, name("bandwidthSlider%s"), 0.01, 10.0);
    bandwidthText = textField(this, name("bandwidthText%s"), true);
    minDbmSlider = slider(this, name("minDbmSlider%s"), -180, -90);
    minDbmText = textField(this, name("minDbmText%s"), true);
    maxDbmSlider = slider(this, name("maxDbmSlider%s"), -100, 20);
    maxDbmText = textField(this, name("maxDbmText%s"), true);
    averageSlider = slider(this, name("averageSlider%s"), 0, 100);
    averageText = textField(this, name("averageText%s"), true);
    fpsSlider = slider(this, name("fpsSlider%s"), 1, 30);
    fpsText = textField(this, name("fpsText%s"), true);
    preAmpListPopup = popUp(this, name("preAmpListPopup%s"));
    wnbButton = imageButton(this, name("wnbButton%s"), QStringLiteral("WNB"));
    wnbButton->setCheckable(true);
    wnbLevelSlider = slider(this, name("wnbLevelSlider%s"), 0, 100);
    wnbLevelText = textField(this, name("wnbLevelText%s"), true);
    autoBlackEnabledCheckBox =
        checkBox(this, name("autoBlackEnabledCheckBox%s"), QStringLiteral("Auto"));
    blackLevelSlider = slider(this, name("blackLevelSlider%s"), 0, 100);
    blackLevelText = textField(this, name("blackLevelText%s"), true);
    colorGainSlider = slider(this, name("colorGainSlider%s"), 0, 100);
    colorGainText = textField(this, name("colorGainText%s"), true);
    lineDurationSlider = slider(this, name("lineDurationSlider%s"), 1, 100);
    lineDurationText = textField(this, name("lineDurationText%s"), true);
    waterfallFpsText = textField(this, name("waterfallFpsText%s"));
    waterfallFpsText->setReadOnly(true);
    for (QWidget* control : findChildren<QWidget*>()) {
        control->setProperty("tag", pan);
    }

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(8, 4, 8, 6);
    rows->setSpacing(4);
    auto* layout = new QHBoxLayout;
    layout->setSpacing(14);
    rows->addLayout(layout);
    layout->addWidget(stacked(this, QStringLiteral("Centre MHz"), bandText));
    layout->addWidget(stacked(this, QStringLiteral("Span MHz"), bandwidthSlider, bandwidthText), 2);
    layout->addWidget(stacked(this, QStringLiteral("Floor dBm"), minDbmSlider, minDbmText), 1);
    layout->addWidget(stacked(this, QStringLiteral("Top dBm"), maxDbmSlider, maxDbmText), 1);
    layout->addWidget(stacked(this, QStringLiteral("Average"), averageSlider, averageText), 1);
    layout->addWidget(stacked(this, QStringLiteral("Frames/s"), fpsSlider, fpsText), 1);
    QWidget* preamp = stacked(this, QStringLiteral("Preamp dB"), preAmpListPopup);
    new FollowVisibility(preAmpListPopup, preamp);
    layout->addWidget(preamp);
    auto* wnb = new QWidget(this);
    auto* wnbRow = new QHBoxLayout(wnb);
    wnbRow->setContentsMargins(0, 0, 0, 0);
    wnbRow->addWidget(wnbButton);
    wnbRow->addWidget(wnbLevelSlider, 1);
    layout->addWidget(stacked(this, QStringLiteral("Wideband blanker"), wnb, wnbLevelText), 1);

    // The waterfall's own controls, under those of the spectrum.
    auto* waterfall = new QHBoxLayout;
    waterfall->setSpacing(14);
    rows->addLayout(waterfall);
    auto* black = new QWidget(this);
    auto* blackRow = new QHBoxLayout(black);
    blackRow->setContentsMargins(0, 0, 0, 0);
    blackRow->addWidget(autoBlackEnabledCheckBox);
    blackRow->addWidget(blackLevelSlider, 1);
    waterfall->addWidget(stacked(this, QStringLiteral("Waterfall black"), black, blackLevelText),
                         2);
    waterfall->addWidget(
        stacked(this, QStringLiteral("Colour gain"), colorGainSlider, colorGainText), 1);
    waterfall->addWidget(
        stacked(this, QStringLiteral("Line ms"), lineDurationSlider, lineDurationText), 1);
    waterfall->addWidget(stacked(this, QStringLiteral("Waterfall rate"), waterfallFpsText));
    for (Slider* control :
         {bandwidthSlider, minDbmSlider, maxDbmSlider, averageSlider, fpsSlider, wnbLevelSlider,
          blackLevelSlider, colorGainSlider, lineDurationSlider}) {
        control->setMinimumWidth(70);
    }
}

}  // namespace vm
