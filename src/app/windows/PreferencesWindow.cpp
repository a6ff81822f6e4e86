#include "app/windows/PreferencesWindow.h"

#include "app/windows/AmplifierPrefsPage.h"
#include "app/windows/AudioPrefsPage.h"
#include "app/windows/CwPrefsPage.h"
#include "app/windows/EqualizerPrefsPage.h"
#include "app/windows/KnobPrefsPage.h"
#include "app/windows/MetersPrefsPage.h"
#include "app/windows/PanadapterPrefsPage.h"
#include "app/windows/ProfilesPrefsPage.h"
#include "app/windows/RadioPrefsPage.h"
#include "app/windows/SlicePrefsPage.h"
#include "app/windows/StationPrefsPage.h"
#include "app/windows/TransmitPrefsPage.h"
#include "app/windows/TransverterPrefsPage.h"
#include "app/windows/WidgetKit.h"

#include <QTabWidget>

namespace vm {

PreferencesWindow::PreferencesWindow(QWidget* parent) : Window(parent) {
    setObjectName(QStringLiteral("prefsWindow"));
    setWindowTitle(QStringLiteral("Preferences"));
    prefsTabView = new QTabWidget(this);
    prefsTabView->setObjectName(QStringLiteral("prefsTabView"));
    prefsTabView->setUsesScrollButtons(true);
    prefsTabView->setDocumentMode(true);
    radioPage_ = addPage(new RadioPrefsPage, QStringLiteral("Radio"));
    panadapterPage_ = addPage(new PanadapterPrefsPage, QStringLiteral("Panadapters"));
    // Each slice panel scrolls in its own tab.
    slicePage_ = addPage(new SlicePrefsPage, QStringLiteral("Slices"), false);
    stationPage_ = addPage(new StationPrefsPage, QStringLiteral("Station"));
    audioPage_ = addPage(new AudioPrefsPage, QStringLiteral("Audio"));
    transmitPage_ = addPage(new TransmitPrefsPage, QStringLiteral("Transmit"));
    metersPage_ = addPage(new MetersPrefsPage, QStringLiteral("Meters"));
    cwPage_ = addPage(new CwPrefsPage, QStringLiteral("CW"));
    equalizerPage_ = addPage(new EqualizerPrefsPage, QStringLiteral("Equalizer"));
    profilesPage_ = addPage(new ProfilesPrefsPage, QStringLiteral("Profiles"));
    amplifierPage_ = addPage(new AmplifierPrefsPage, QStringLiteral("Amplifier"));
    transverterPage_ = addPage(new TransverterPrefsPage, QStringLiteral("Transverters"));
    knobPage_ = addPage(new KnobPrefsPage, QStringLiteral("Knob"));
    setCentralWidget(prefsTabView);
    resize(980, 640);
    stored_.tabView(prefsTabView, "prefs_tab_view");
}

bool PreferencesWindow::panelVisible(int tab) const {
    return isVisible() && prefsTabView->currentIndex() == tab;
}

template <class Page>
Page* PreferencesWindow::addPage(Page* page, const QString& title, bool scrolls) {
    prefsTabView->addTab(scrolls ? kit::scrolling(page) : page, title);
    pages_.push_back(page);
    return page;
}

void PreferencesWindow::restore() {
    for (PreferencesPage* page : pages_) {
        page->restore();
    }
    stored_.restore();
}

void PreferencesWindow::defaults() {
    for (PreferencesPage* page : pages_) {
        page->defaults();
    }
    stored_.defaults();
}

void PreferencesWindow::setButtonImages(const QImage& save, const QImage& add, const QImage& remove,
                                        const QImage& go) {
    profilesPage_->setButtonImages(save, add, remove);
    transverterPage_->setButtonImages(add, remove, go);
}

int PreferencesWindow::selectedTab() const { return prefsTabView->currentIndex(); }

void PreferencesWindow::selectTab(int tab) { prefsTabView->setCurrentIndex(tab); }

QWidget& PreferencesWindow::page(int tab) const { return *pages_.at(std::size_t(tab)); }

}  // namespace vm
