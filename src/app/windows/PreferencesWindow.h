#pragma once
// The preferences window: one page per area of the station, each a class of its own that keeps its
// controls to itself (see PreferencesPage). The tab order is fixed because the controller refers
// to tabs by index: 0 Radio, 1 Panadapters, 2 Slices, 3 Station, 4 Audio, 5 Transmit, 6 Meters,
// 7 CW, 8 Equalizer, 9 Profiles, 10 Amplifier, 11 Transverters, 12 Knob. Every control carries its
// outlet name as objectName.
#include "app/windows/PreferenceRows.h"
#include "platform/ui/Window.h"

#include <QImage>

#include <vector>

class QTabWidget;

namespace vm {

class AmplifierPrefsPage;
class AudioPrefsPage;
class CwPrefsPage;
class EqualizerPrefsPage;
class KnobPrefsPage;
class MetersPrefsPage;
class PanadapterPrefsPage;
class PreferencesPage;
class ProfilesPrefsPage;
class RadioPrefsPage;
class SlicePrefsPage;
class StationPrefsPage;
class TransmitPrefsPage;
class TransverterPrefsPage;

class PreferencesWindow : public Window {
public:
    enum Tab {
        radioTab = 0,
        panadapterTab,
        sliceTab,
        stationTab,
        audioTab,
        transmitTab,
        metersTab,
        cwTab,
        equalizerTab,
        profilesTab,
        amplifierTab,
        transverterTab,
        knobTab
    };

    explicit PreferencesWindow(QWidget* parent = nullptr);

    // The window is visible and shows this tab.
    bool panelVisible(int tab) const;
    RadioPrefsPage& radioPage() const { return *radioPage_; }
    PanadapterPrefsPage& panadapterPage() const { return *panadapterPage_; }
    SlicePrefsPage& slicePage() const { return *slicePage_; }
    StationPrefsPage& stationPage() const { return *stationPage_; }
    AudioPrefsPage& audioPage() const { return *audioPage_; }
    TransmitPrefsPage& transmitPage() const { return *transmitPage_; }
    MetersPrefsPage& metersPage() const { return *metersPage_; }
    CwPrefsPage& cwPage() const { return *cwPage_; }
    EqualizerPrefsPage& equalizerPage() const { return *equalizerPage_; }
    ProfilesPrefsPage& profilesPage() const { return *profilesPage_; }
    AmplifierPrefsPage& amplifierPage() const { return *amplifierPage_; }
    TransverterPrefsPage& transverterPage() const { return *transverterPage_; }
    KnobPrefsPage& knobPage() const { return *knobPage_; }
    // The index of the selected tab (the page shown).
    int selectedTab() const;
    void selectTab(int tab);
    // The page of a tab, as drawn for a problem report.
    QWidget& page(int tab) const;

    // Every page's stored preferences, and the chosen tab.
    void restore();
    void defaults();
    // The glyphs of the pages' image buttons (light glyphs for dark windows, and the reverse).
    void setButtonImages(const QImage& save, const QImage& add, const QImage& remove,
                         const QImage& go);

private:
    template <class Page>
    Page* addPage(Page* page, const QString& title, bool scrolls = true);

    QTabWidget* prefsTabView;
    RadioPrefsPage* radioPage_;
    PanadapterPrefsPage* panadapterPage_;
    SlicePrefsPage* slicePage_;
    StationPrefsPage* stationPage_;
    AudioPrefsPage* audioPage_;
    TransmitPrefsPage* transmitPage_;
    MetersPrefsPage* metersPage_;
    CwPrefsPage* cwPage_;
    EqualizerPrefsPage* equalizerPage_;
    ProfilesPrefsPage* profilesPage_;
    AmplifierPrefsPage* amplifierPage_;
    TransverterPrefsPage* transverterPage_;
    KnobPrefsPage* knobPage_;
    std::vector<PreferencesPage*> pages_;
    PreferenceRows stored_;
};

}  // namespace vm
