#include "app/windows/CwPrefsPage.h"

#include "app/windows/WidgetKit.h"

namespace vm {

using namespace kit;

CwPrefsPage::CwPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    auto* grid = new QGridLayout(this);
    auto* keyer = group(grid, 0, 0, QStringLiteral("Keyer"));
    levelRow(keyer, this, QStringLiteral("Speed WPM"), radioCwSpeedSlider,
             QStringLiteral("radioCwSpeedSlider"), radioCwSpeedText,
             QStringLiteral("radioCwSpeedText"), 5, 100);
    levelRow(keyer, this, QStringLiteral("Pitch Hz"), radioCwPitchSlider,
             QStringLiteral("radioCwPitchSlider"), radioCwPitchText,
             QStringLiteral("radioCwPitchText"), 100, 6000);
    radioCwIambicEnabledCheckBox =
        checkBox(this, QStringLiteral("radioCwIambicEnabledCheckBox"), QStringLiteral("Iambic"));
    radioCwIambicModePopup = popUp(this, QStringLiteral("radioCwIambicModePopup"), {"A", "B"});
    row(keyer, {}, {radioCwIambicEnabledCheckBox, radioCwIambicModePopup});
    radioCwSwapPaddlesCheckBox = checkBox(this, QStringLiteral("radioCwSwapPaddlesCheckBox"),
                                          QStringLiteral("Swap paddles"));
    radioSyncCWXCheckBox =
        checkBox(this, QStringLiteral("radioSyncCWXCheckBox"), QStringLiteral("Sync CWX speed"));
    row(keyer, {}, {radioCwSwapPaddlesCheckBox, radioSyncCWXCheckBox});

    auto* breakIn = group(grid, 0, 1, QStringLiteral("Break-in and side tone"));
    radioCwBreakInCheckBox =
        checkBox(this, QStringLiteral("radioCwBreakInCheckBox"), QStringLiteral("Break-in"));
    row(breakIn, {}, {radioCwBreakInCheckBox});
    levelRow(breakIn, this, QStringLiteral("Delay ms"), radioCwBreakInDelaySlider,
             QStringLiteral("radioCwBreakInDelaySlider"), radioCwBreakInDelayText,
             QStringLiteral("radioCwBreakInDelayText"), 0, 2000);
    radioCwSideToneEnabledCheckBox = checkBox(
        this, QStringLiteral("radioCwSideToneEnabledCheckBox"), QStringLiteral("Side tone"));
    row(breakIn, {}, {radioCwSideToneEnabledCheckBox});
    levelRow(breakIn, this, QStringLiteral("Side tone level"), radioCwSideToneGainSlider,
             QStringLiteral("radioCwSideToneGainSlider"), radioCwSideToneGainText,
             QStringLiteral("radioCwSideToneGainText"), 0, 100);
    radioCwSideTonePanSlider = slider(this, QStringLiteral("radioCwSideTonePanSlider"), 0, 100);
    row(breakIn, QStringLiteral("Side tone L/R"), {radioCwSideTonePanSlider});
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
}

}  // namespace vm
