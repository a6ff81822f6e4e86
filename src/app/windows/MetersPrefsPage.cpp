#include "app/windows/MetersPrefsPage.h"

#include "app/windows/WidgetKit.h"
#include "platform/ui/LevelIndicator.h"
#include "platform/ui/PopUpButton.h"

#include <QVBoxLayout>

namespace vm {

using namespace kit;

MetersPrefsPage::MetersPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* layout = new QVBoxLayout(this);
    auto* source = new QHBoxLayout;
    meterPanelPopUp = popUp(this, QStringLiteral("meterPanelPopUp"),
                            {"Codec", "Transmit", "Slice", "Radio", "Amplifier"});
    source->addWidget(new QLabel(QStringLiteral("Meters of")));
    source->addWidget(meterPanelPopUp);
    source->addStretch(1);
    layout->addLayout(source);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    for (int i = 0; i < 28; ++i) {
        meters[i] = levelIndicator(this, QStringLiteral("meter_%1").arg(i + 1));
        meters[i]->setMinimumWidth(160);
        meters[i]->hide();
        meterLabels[i] = label(this, QStringLiteral("meter_%1_Label").arg(i + 1));
        meterLabels[i]->setMinimumWidth(200);
        const int column = (i / 14) * 2;
        grid->addWidget(meters[i], i % 14, column);
        grid->addWidget(meterLabels[i], i % 14, column + 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    layout->addStretch(1);
    stored_.popUp(meterPanelPopUp, "meter_panel_popup");
    connect(meterPanelPopUp, &PopUpButton::action, this,
            [this] { meterPanelPopUpChanged(meterPanelPopUp->title()); });
}

int MetersPrefsPage::meterSource() const { return meterPanelPopUp->indexOfSelectedItem() + 1; }

void MetersPrefsPage::showMeterSlot(int slot, double bar, const QString& text,
                                    const QString& toolTip) {
    if (slot < 1 || slot > int(meters.size())) {
        return;
    }
    LevelIndicator* meter = meters[std::size_t(slot - 1)];
    meter->show();
    meter->setDoubleValue(bar);
    meter->setToolTip(toolTip);
    meterLabels[std::size_t(slot - 1)]->setText(text);
}

void MetersPrefsPage::clearMeterSlot(int slot) {
    if (slot < 1 || slot > int(meters.size())) {
        return;
    }
    meters[std::size_t(slot - 1)]->hide();
    meterLabels[std::size_t(slot - 1)]->clear();
}

}  // namespace vm
