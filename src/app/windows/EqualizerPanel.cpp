#include "app/windows/EqualizerPanel.h"

namespace vm {

using namespace kit;

EqualizerPanel::EqualizerPanel(const QString& type, const QString& title, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("eq_%1_panel").arg(type));
    auto* grid = new QGridLayout(this);
    checkbox = checkBox(this, QStringLiteral("eq_%1_checkbox").arg(type), title);
    grid->addWidget(checkbox, 0, 0, 1, 8);
    for (int band = 0; band < 8; ++band) {
        sliders[band] = slider(this, QStringLiteral("eq_%1_slider%2").arg(type).arg(band), -10, 10,
                               Qt::Vertical);
        sliders[band]->setMinimumHeight(140);
        values[band] = textField(this, QStringLiteral("eq_%1_val%2").arg(type).arg(band), true);
        values[band]->setFixedWidth(44);
        // The radio names its bands when the equalizer is bound; these are the names it uses.
        static const char* const kBandNames[] = {"63 Hz", "125 Hz", "250 Hz", "500 Hz",
                                                 "1 KHz", "2 KHz",  "4 KHz",  "8 KHz"};
        labels[band] = label(this, QStringLiteral("eq_%1_label%2").arg(type).arg(band),
                             QString::fromLatin1(kBandNames[band]));
        labels[band]->setAlignment(Qt::AlignCenter);
        grid->addWidget(values[band], 1, band, Qt::AlignHCenter);
        grid->addWidget(sliders[band], 2, band, Qt::AlignHCenter);
        grid->addWidget(labels[band], 3, band, Qt::AlignHCenter);
    }
}

}  // namespace vm
