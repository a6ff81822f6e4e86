#include "app/windows/PanadapterPrefsPage.h"

#include "app/windows/PanSettingsPage.h"
#include "app/windows/WidgetKit.h"

#include <QTabWidget>
#include <QVBoxLayout>

namespace vm {

using namespace kit;

namespace {

// The widest spans offered, in MHz.
const QStringList kMaxBandwidths{"0.01", "0.05", "0.5", "1.0", "2.0", "3.0", "5.0", "10.0"};

}  // namespace

PanadapterPrefsPage::PanadapterPrefsPage(QWidget* parent) : PreferencesPage(parent) {
    setObjectName(QStringLiteral("panPrefsView"));
    auto* layout = new QVBoxLayout(this);
    panadapterTabView = new QTabWidget(this);
    panadapterTabView->setObjectName(QStringLiteral("panadapterTabView"));
    for (int pan = 0; pan < 4; ++pan) {
        panSettings[pan] = new PanSettingsPage(pan);
        panSettings[pan]->maxBandwidthPopup->addItems(kMaxBandwidths);
        panadapterTabView->addTab(panSettings[pan], QStringLiteral("Off"));
    }
    layout->addWidget(panadapterTabView);
    auto* shown = new QGroupBox(QStringLiteral("Shown on the panadapters"), this);
    auto* grid = new QGridLayout(shown);
    trvlSpotsButton =
        checkBox(shown, QStringLiteral("trvlSpotsButton"), QStringLiteral("Spots from Tarvelo"));
    radioSpotsButton =
        checkBox(shown, QStringLiteral("radioSpotsButton"), QStringLiteral("Spots from the radio"));
    memoryShowCB = checkBox(shown, QStringLiteral("memoryShowCB"), QStringLiteral("Memories"));
    zenithorNFMButton = checkBox(shown, QStringLiteral("zenithorNFMButton"),
                                 QStringLiteral("Narrow FM for Zenithor satellite tuning"));
    for (CheckBox* box : {trvlSpotsButton, radioSpotsButton, memoryShowCB, zenithorNFMButton}) {
        row(grid, {}, {box});
    }
    layout->addWidget(shown);
    layout->addStretch(1);

    for (int pan = 0; pan < 4; ++pan) {
        stored_.popUp(panSettings[pan]->maxBandwidthPopup, PanSettingsPage::maxBandwidthKey(pan));
    }
    for (int pan = 0; pan < 4; ++pan) {
        stored_.slider(panSettings[pan]->viewProportion, PanSettingsPage::viewProportionKey(pan));
    }
    stored_.tabView(panadapterTabView, "panadapter_tab_view");
    stored_.checkBox(trvlSpotsButton, "display_trvl_spots", false);
    stored_.checkBox(radioSpotsButton, "display_radio_spots", false);
    stored_.checkBox(zenithorNFMButton, "zenithor_narrow_fm", false);
    stored_.checkBox(memoryShowCB, "display_memories", false);
    connect(trvlSpotsButton, &CheckBox::action, this,
            [this] { trvlSpotsButtonPressed(trvlSpotsButton->state()); });
    connect(radioSpotsButton, &CheckBox::action, this,
            [this] { radioSpotsButtonPressed(radioSpotsButton->state()); });
    connect(zenithorNFMButton, &CheckBox::action, this,
            [this] { zenithorNFMButtonPressed(zenithorNFMButton->state()); });
    connect(memoryShowCB, &CheckBox::action, this,
            [this] { memoryShowCBPressed(memoryShowCB->state()); });
}

PanSettingsPage* PanadapterPrefsPage::settings(int pan) const { return panSettings.at(pan); }

double PanadapterPrefsPage::maxBandwidth(int pan) const {
    return panSettings.at(pan)->maxBandwidthPopup->currentText().toDouble();
}

void PanadapterPrefsPage::setPanTabTitle(int pan, const QString& title) {
    panadapterTabView->setTabText(pan, title);
}

bool PanadapterPrefsPage::trvlSpots() const { return trvlSpotsButton->state(); }
bool PanadapterPrefsPage::radioSpots() const { return radioSpotsButton->state(); }
bool PanadapterPrefsPage::memoryShow() const { return memoryShowCB->state(); }
bool PanadapterPrefsPage::zenithorNarrowFm() const { return zenithorNFMButton->state(); }

int PanadapterPrefsPage::selectedTab() const { return panadapterTabView->currentIndex(); }

}  // namespace vm
