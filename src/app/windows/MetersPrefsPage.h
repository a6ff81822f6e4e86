#pragma once
// The preferences' Meters tab: the radio's meters of one source, 28 slots of a bar and its label.
#include "app/windows/PreferencesPage.h"

#include <array>
#include <string>

class QLabel;
class QString;

namespace vm {

class LevelIndicator;
class PopUpButton;

class MetersPrefsPage : public PreferencesPage {
    Q_OBJECT
public:
    explicit MetersPrefsPage(QWidget* parent = nullptr);

    // The source whose meters the panel shows: the pop-up's item 0 is source 1 (codec), then
    // transmit, slice, radio and amplifier.
    int meterSource() const;
    // Slot 1 to 28: its bar shown with the value (0 to 32 segments), its label and tool tip;
    // cleared, its label emptied and its bar hidden. Other slot numbers are ignored.
    void showMeterSlot(int slot, double bar, const QString& text, const QString& toolTip);
    void clearMeterSlot(int slot);

signals:
    // The operator chose the source whose meters the panel shows; the item's title.
    void meterPanelPopUpChanged(const std::string& title);

private:
    PopUpButton* meterPanelPopUp;
    std::array<LevelIndicator*, 28> meters{};  // meter_1 ... meter_28
    std::array<QLabel*, 28> meterLabels{};     // meter_1_Label ... meter_28_Label
};

}  // namespace vm
