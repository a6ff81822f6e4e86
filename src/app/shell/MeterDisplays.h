#pragma once
// The meter displays refreshed by the meter timer, ten times a second on the main queue: the
// heads-up display's S-meter, from the active slice's "LEVEL" meter averaged over its last three
// readings (`sMeterValues`), shown as a 32-segment bar, the S text ("S9", "S9+33") and the
// average in dBm as the bar's tool tip.
#include "platform/core/DispatchSource.h"

#include <QPointer>

#include <memory>
#include <vector>

class QLabel;

namespace vm {

class HudWindow;
class LevelIndicator;
class MeterDisplaysHost;

class MeterDisplays : public std::enable_shared_from_this<MeterDisplays> {
public:
    static std::shared_ptr<MeterDisplays> create(HudWindow& hud,
                                                 std::weak_ptr<MeterDisplaysHost> host);
    ~MeterDisplays();
    MeterDisplays(const MeterDisplays&) = delete;
    MeterDisplays& operator=(const MeterDisplays&) = delete;

    // Starts the meter timer (0.1 s, the first tick at once); a second call does nothing.
    void start();
    void meterTimer();
    // Nothing without an active slice or without its "LEVEL" meter.
    void hudSMeter();

    const std::vector<double>& sMeterValues() const { return sMeterValues_; }

private:
    MeterDisplays(HudWindow& hud, std::weak_ptr<MeterDisplaysHost> host);

    QPointer<LevelIndicator> s_meter_level_indicator;
    QPointer<QLabel> s_meter_text;
    std::weak_ptr<MeterDisplaysHost> host_;
    std::vector<double> sMeterValues_;
    DispatchSourcePtr meter_timer;
};

}  // namespace vm
