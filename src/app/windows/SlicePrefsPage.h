#pragma once
// The preferences' Slices tab: the four slice panels A to D (taken by the slice panel
// controllers), one tab each.
#include "app/windows/PreferencesPage.h"

#include <array>

class QTabWidget;

namespace vm {

class SlicePanel;

class SlicePrefsPage : public PreferencesPage {
public:
    explicit SlicePrefsPage(QWidget* parent = nullptr);

    // Panel 0 to 3 (A to D).
    SlicePanel* panel(int index) const;
    // The title of panel 0 to 3's tab.
    void setTabTitle(int index, const QString& title);

    // The index of the selected slice tab.
    int selectedTab() const;

private:
    QTabWidget* sliceTabView;
    std::array<SlicePanel*, 4> slicePanels{};
};

}  // namespace vm
