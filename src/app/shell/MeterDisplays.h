#pragma once
// The meter displays refreshed by the meter timer, ten times a second on the main queue:
//
// - the heads-up display's one bar meter: the SWR while a tune runs, the forward power while
//   transmitting, otherwise the S-meter from the active slice's "LEVEL" meter averaged over its
//   last three readings (`sMeterValues`), shown as a 32-segment bar, the S text ("S9", "S9+33")
//   and the average in dBm as the bar's tool tip;
// - while its tab is shown, one panel of the preferences: the Meters tab's 28 slots (the radio's
//   meters of the chosen source, by short name), the amplifier's four meters, or the
//   microphone's level and peak on the Audio tab.
#include "platform/core/DispatchSource.h"

#include <QPointer>

#include <memory>
#include <string>
#include <vector>

class QLabel;

namespace vm {

class AmplifierPrefsPage;
class AudioPrefsPage;
class HudWindow;
class LevelIndicator;
class Meter;
class MeterDisplaysHost;
class MetersPrefsPage;
class PreferencesWindow;

class MeterDisplays : public std::enable_shared_from_this<MeterDisplays> {
public:
    static std::shared_ptr<MeterDisplays> create(HudWindow& hud, PreferencesWindow& prefs,
                                                 std::weak_ptr<MeterDisplaysHost> host);
    ~MeterDisplays();
    MeterDisplays(const MeterDisplays&) = delete;
    MeterDisplays& operator=(const MeterDisplays&) = delete;

    // Starts the meter timer (0.1 s, the first tick at once); a second call does nothing.
    void start();
    void meterTimer();

    // The open radio's meter of that short name; none for an empty name or without a radio.
    std::shared_ptr<Meter> meterWithShortName(const std::string& shortName) const;
    // Slot 1 to 28 of the Meters tab filled from the meter, or emptied and hidden without one;
    // other slot numbers are ignored.
    void loadMeterDisplayNumber(int slot, const std::shared_ptr<Meter>& meter);

    // The panels, each shown only while its tab is (the meter timer picks one).
    void amplifierMeters();
    void audioMeters();
    void prefsMeters();
    // The heads-up meter; each does nothing without its meter.
    void hudSWRMeter();
    void hudFWDPWRMeter();
    // Nothing without an active slice or without its "LEVEL" meter.
    void hudSMeter();

    const std::vector<double>& sMeterValues() const { return sMeterValues_; }

private:
    MeterDisplays(HudWindow& hud, PreferencesWindow& prefs, std::weak_ptr<MeterDisplaysHost> host);

    QPointer<LevelIndicator> s_meter_level_indicator;
    QPointer<QLabel> s_meter_text;
    QPointer<MetersPrefsPage> metersPage_;
    QPointer<AmplifierPrefsPage> amplifierPage_;
    QPointer<AudioPrefsPage> audioPage_;
    std::weak_ptr<MeterDisplaysHost> host_;
    std::vector<double> sMeterValues_;
    DispatchSourcePtr meter_timer;
};

}  // namespace vm
