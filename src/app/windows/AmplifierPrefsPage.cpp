#include "app/windows/AmplifierPrefsPage.h"

#include "app/windows/WidgetKit.h"
#include "platform/ui/LevelIndicator.h"

namespace vm {

using namespace kit;

AmplifierPrefsPage::AmplifierPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* grid = new QGridLayout(this);
    auto* amplifier = group(grid, 0, 0, QStringLiteral("Amplifier"));
    amplifierInterlockPopup =
        popUp(this, QStringLiteral("amplifierInterlockPopup"), {"Standby", "Operate"});
    amplifierInterlockText = label(this, QStringLiteral("amplifierInterlockText"));
    row(amplifier, QStringLiteral("Mode"), {amplifierInterlockPopup, amplifierInterlockText});
    for (int i = 0; i < 4; ++i) {
        ampMeters[i] = levelIndicator(this, QStringLiteral("amp_meter_%1").arg(i + 1));
        ampMeters[i]->setMinimumWidth(200);
        ampMeters[i]->hide();
        ampMeterLabels[i] = label(this, QStringLiteral("amp_meter_label_%1").arg(i + 1));
        ampMeterLabels[i]->setMinimumWidth(180);
        row(amplifier, {}, {ampMeters[i], ampMeterLabels[i]});
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);
}

void AmplifierPrefsPage::showAmpMeter(int number, double bar, const QString& text,
                                      const QString& toolTip) {
    if (number < 1 || number > int(ampMeters.size())) {
        return;
    }
    LevelIndicator* meter = ampMeters[std::size_t(number - 1)];
    meter->show();
    meter->setDoubleValue(bar);
    meter->setToolTip(toolTip);
    ampMeterLabels[std::size_t(number - 1)]->setText(text);
}

}  // namespace vm
