#include "app/shell/MeterDisplays.h"

#include "app/shell/MeterDisplaysHost.h"
#include "app/shell/SMeterScale.h"
#include "app/windows/HudWindow.h"
#include "objects/Meter.h"
#include "objects/Slice.h"
#include "platform/ui/LevelIndicator.h"

#include <QLabel>

#include <chrono>
#include <numeric>

namespace vm {

using namespace std::chrono_literals;

namespace {

constexpr std::size_t kSMeterReadings = 3;

}  // namespace

std::shared_ptr<MeterDisplays> MeterDisplays::create(HudWindow& hud,
                                                     std::weak_ptr<MeterDisplaysHost> host) {
    return std::shared_ptr<MeterDisplays>(new MeterDisplays(hud, std::move(host)));
}

MeterDisplays::MeterDisplays(HudWindow& hud, std::weak_ptr<MeterDisplaysHost> host)
    : s_meter_level_indicator(hud.s_meter_level_indicator),
      s_meter_text(hud.s_meter_text),
      host_(std::move(host)) {}

MeterDisplays::~MeterDisplays() {
    if (meter_timer) {
        meter_timer->cancel();
    }
}

void MeterDisplays::start() {
    if (meter_timer) {
        return;
    }
    meter_timer = DispatchSource::makeTimer(DispatchQueue::main());
    meter_timer->setEventHandler([weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->meterTimer();
        }
    });
    meter_timer->setTimer(0s, 100ms, 10ms);
    meter_timer->resume();
}

void MeterDisplays::meterTimer() { hudSMeter(); }

void MeterDisplays::hudSMeter() {
    const auto host = host_.lock();
    const std::shared_ptr<Slice> active = host ? host->activeVFO() : nullptr;
    if (!active || !s_meter_level_indicator || !s_meter_text) {
        return;
    }
    const std::shared_ptr<Meter> level =
        active->meters()->with([](const auto& byName) -> std::shared_ptr<Meter> {
            const auto found = byName.find("LEVEL");
            return found == byName.end() ? nullptr : found->second;
        });
    if (!level) {
        return;
    }
    sMeterValues_.push_back(double(level->value()));
    if (sMeterValues_.size() > kSMeterReadings) {
        sMeterValues_.erase(sMeterValues_.begin());
    }
    const double average = std::accumulate(sMeterValues_.begin(), sMeterValues_.end(), 0.0) /
                           double(sMeterValues_.size());
    const SMeterReading reading = sMeterReading(average);
    const int bar = int(std::lround(32.0 * reading.step / 18.0));
    if (bar != int(s_meter_level_indicator->doubleValue())) {
        s_meter_level_indicator->setIntValue(bar);
        host->sMeterBarChanged(bar);
    }
    s_meter_text->setText(QString::fromStdString(reading.text));
    s_meter_level_indicator->setToolTip(QStringLiteral("%1 dBm").arg(average, 0, 'f', 1));
}

}  // namespace vm
