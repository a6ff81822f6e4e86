#pragma once
// The preferences' Panadapters tab: one page of set-once settings per pan (PanSettingsPage, taken
// by the pan controllers), the pans' tab titles, and what the panadapters show (spots, memories)
// with the satellite program's narrow FM.
#include "app/windows/PreferencesPage.h"

#include <QString>

#include <array>

class QTabWidget;

namespace vm {

class CheckBox;
class PanSettingsPage;

class PanadapterPrefsPage : public PreferencesPage {
    Q_OBJECT
public:
    explicit PanadapterPrefsPage(QWidget* parent = nullptr);

    // The settings of pan 0 to 3.
    PanSettingsPage* settings(int pan) const;
    // The widest span the pan's span slider offers: the chosen title of its pop-up, in MHz.
    double maxBandwidth(int pan) const;
    void setPanTabTitle(int pan, const QString& title);

    bool trvlSpots() const;
    bool radioSpots() const;
    bool memoryShow() const;
    bool zenithorNarrowFm() const;
    // The index of the selected panadapter tab.
    int selectedTab() const;

signals:
    // The operator switched one of the check boxes on or off.
    void trvlSpotsButtonPressed(bool on);
    void radioSpotsButtonPressed(bool on);
    void zenithorNFMButtonPressed(bool on);
    void memoryShowCBPressed(bool on);

private:
    QTabWidget* panadapterTabView;
    std::array<PanSettingsPage*, 4> panSettings{};
    CheckBox* trvlSpotsButton;
    CheckBox* radioSpotsButton;
    CheckBox* memoryShowCB;
    CheckBox* zenithorNFMButton;
};

}  // namespace vm
