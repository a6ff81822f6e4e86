#include "app/windows/MainControlsBar.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

namespace {

QFrame* divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

TextField* frequencyField(QWidget* parent, const QString& name, double scale) {
    auto* field = textField(parent, name);
    QFont font = field->font();
    font.setPointSizeF(font.pointSizeF() * scale);
    font.setBold(true);
    font.setStyleHint(QFont::Monospace);
    field->setFont(font);
    field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    field->setMinimumWidth(QFontMetrics(font).horizontalAdvance(QStringLiteral("0000.000.000")) +
                           16);
    return field;
}

}  // namespace

MainControlsBar::MainControlsBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("mainControlsBar"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(8, 6, 8, 4);
    rows->setSpacing(6);

    auto* station = new QHBoxLayout;
    radioPortNamePopUp = popUp(this, QStringLiteral("radioPortNamePopUp"));
    radioPortNamePopUp->setMinimumWidth(200);
    radioPortNamePopUp->setToolTip(QStringLiteral("No Radios on LAN"));
    pollButton = imageButton(this, QStringLiteral("pollButton"));
    pollButton->setFixedSize(22, 22);
    transmitButton = imageButton(this, QStringLiteral("transmitButton"), QStringLiteral("MOX"));
    transmitButton->setFixedSize(72, 30);
    QPalette onRed = transmitButton->palette();
    onRed.setColor(QPalette::ButtonText, Qt::white);
    transmitButton->setPalette(onRed);
    tuneButton = imageButton(this, QStringLiteral("tuneButton"));
    tuneButton->setFixedSize(26, 26);
    tuneButton->setToolTip(QStringLiteral("Tune"));
    // Both stay on while pressed: the radio transmits, or tunes, until they are pressed again.
    transmitButton->setCheckable(true);
    tuneButton->setCheckable(true);
    tuneModePopup = popUp(this, QStringLiteral("tuneModePopup"), {"Auto Tune", "Manual Tune"});
    split_popup =
        popUp(this, QStringLiteral("split_popup"),
              {"Split Off", "1 kHz", "2 kHz", "3 kHz", "5 kHz", "10 kHz", "15 kHz", "Other"});
    volumeStepper = stepper(this, QStringLiteral("volumeStepper"), -1, 1, 1);
    panBandwidthStepper = stepper(this, QStringLiteral("panBandwidthStepper"), -1, 1, 1);
    station->addWidget(new QLabel(QStringLiteral("Radio")));
    station->addWidget(radioPortNamePopUp);
    station->addWidget(pollButton);
    station->addWidget(divider(this));
    station->addWidget(transmitButton);
    station->addWidget(tuneButton);
    station->addWidget(new QLabel(QStringLiteral("Tune")));
    station->addWidget(tuneModePopup);
    station->addWidget(divider(this));
    station->addWidget(new QLabel(QStringLiteral("Split")));
    station->addWidget(split_popup);
    station->addStretch(1);
    station->addWidget(new QLabel(QStringLiteral("Volume")));
    station->addWidget(volumeStepper);
    station->addWidget(new QLabel(QStringLiteral("Zoom")));
    station->addWidget(panBandwidthStepper);
    rows->addLayout(station);

    auto* vfo = new QHBoxLayout;
    vfo_number = popUp(this, QStringLiteral("vfo_number"));
    vfo_number->setMinimumWidth(48);
    vfo_mhz = frequencyField(this, QStringLiteral("vfo_mhz"), 1.6);
    vfoSteppir = stepper(this, QStringLiteral("vfoSteppir"), -1000, 1000, 1);
    vfo_mode = popUp(this, QStringLiteral("vfo_mode"));
    vfo_mode->setMinimumWidth(70);
    vfoAltText = label(this, QStringLiteral("vfoAltText"));
    vfoAltText->setMinimumWidth(16);
    vfo_alt_mhz = frequencyField(this, QStringLiteral("vfo_alt_mhz"), 1.15);
    vfoAltSteppir = stepper(this, QStringLiteral("vfoAltSteppir"), -1000, 1000, 1);
    vfo->addWidget(vfo_number);
    vfo->addWidget(vfo_mhz);
    vfo->addWidget(vfoSteppir);
    vfo->addWidget(vfo_mode);
    vfo->addWidget(divider(this));
    vfo->addWidget(vfoAltText);
    vfo->addWidget(vfo_alt_mhz);
    vfo->addWidget(vfoAltSteppir);
    vfo->addStretch(1);
    for (std::size_t i = 0; i < kBands.size(); ++i) {
        const QString band = QString::fromLatin1(kBands[i]);
        auto* bandButton = button(this, QStringLiteral("band%1Button").arg(band), band);
        bandButton->setCheckable(true);
        bandButton->setFixedWidth(
            QFontMetrics(bandButton->font()).horizontalAdvance(QStringLiteral("1600")) + 14);
        bandButton->setToolTip(QStringLiteral("%1 m").arg(band));
        bandButtons[i] = bandButton;
        vfo->addWidget(bandButton);
    }
    rows->addLayout(vfo);
}

}  // namespace vm
