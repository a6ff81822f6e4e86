#include "app/shell/MeterDisplays.h"

#include "app/shell/MeterDisplaysHost.h"
#include "app/shell/SMeterScale.h"
#include "app/windows/AmplifierPrefsPage.h"
#include "app/windows/AudioPrefsPage.h"
#include "app/windows/HudWindow.h"
#include "app/windows/MetersPrefsPage.h"
#include "app/windows/PreferencesWindow.h"
#include "objects/Meter.h"
#include "objects/Slice.h"
#include "platform/ui/LevelIndicator.h"
#include "radio/Radio.h"

#include <QLabel>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <numeric>
#include <utility>

namespace vm {

using namespace std::chrono_literals;

namespace {

constexpr std::size_t kSMeterReadings = 3;
constexpr int kMeterSlots = 28;
// The SWR bars end at 5:1.
constexpr double kSwrTop = 5.0;

// The preferences' tabs with meters.
constexpr int kAudioTab = 4;
constexpr int kMetersTab = 6;
constexpr int kAmplifierTab = 10;

std::shared_ptr<Meter> findMeter(ObjectsById<Meter>& meters, const std::string& name) {
    return meters.with([&](const auto& byName) -> std::shared_ptr<Meter> {
        const auto found = byName.find(name);
        return found == byName.end() ? nullptr : found->second;
    });
}

QString text(const std::string& value) { return QString::fromStdString(value); }

}  // namespace

std::shared_ptr<MeterDisplays> MeterDisplays::create(HudWindow& hud, PreferencesWindow& prefs,
                                                     std::weak_ptr<MeterDisplaysHost> host) {
    return std::shared_ptr<MeterDisplays>(new MeterDisplays(hud, prefs, std::move(host)));
}

MeterDisplays::MeterDisplays(HudWindow& hud, PreferencesWindow& prefs,
                             std::weak_ptr<MeterDisplaysHost> host)
    : s_meter_level_indicator(hud.s_meter_level_indicator),
      s_meter_text(hud.s_meter_text),
      metersPage_(&prefs.metersPage()),
      amplifierPage_(&prefs.amplifierPage()),
      audioPage_(&prefs.audioPage()),
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

void MeterDisplays::meterTimer() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    if (host->prefsPanelVisible(kAmplifierTab)) {
        amplifierMeters();
    } else if (host->prefsPanelVisible(kAudioTab)) {
        audioMeters();
    } else if (host->prefsPanelVisible(kMetersTab)) {
        prefsMeters();
    }
    if (host->tuneInProgress()) {
        hudSWRMeter();
    } else if (host->inTransmit()) {
        hudFWDPWRMeter();
    } else {
        hudSMeter();
    }
}

std::shared_ptr<Meter> MeterDisplays::meterWithShortName(const std::string& shortName) const {
    const auto host = host_.lock();
    const std::shared_ptr<Radio> radio = host ? host->openedRadio() : nullptr;
    if (shortName.empty() || !radio) {
        return nullptr;
    }
    return findMeter(*radio->metersByShortName(), shortName);
}

void MeterDisplays::amplifierMeters() {
    static constexpr std::array<std::pair<const char*, const char*>, 4> kAmplifier{{
        {"FWD", "Forward power"},
        {"RL", "Return loss"},
        {"ID", "Current Drain"},
        {"TEMP", "Temperature"},
    }};
    if (!amplifierPage_) {
        return;
    }
    for (std::size_t index = 0; index < kAmplifier.size(); ++index) {
        const auto& [name, description] = kAmplifier[index];
        const std::shared_ptr<Meter> meter = meterWithShortName(name);
        if (!meter) {
            continue;
        }
        const double value = meter->value();
        amplifierPage_->showAmpMeter(
            int(index) + 1, meterBar(value, meter->low(), meter->high()),
            text(meterValueText("", meter->shortName(), value, meter->unitsLabel())),
            QString::fromUtf8(description));
    }
}

void MeterDisplays::audioMeters() {
    const auto host = host_.lock();
    if (!host || !audioPage_) {
        return;
    }
    if (host->remoteAudioOn()) {
        if (const auto levels = host->remoteMicLevels()) {
            audioPage_->showMicLevel(levels->level);
            audioPage_->showMicPeakLevel(levels->peak);
        }
        return;
    }
    if (const std::shared_ptr<Meter> mic = meterWithShortName("MIC")) {
        audioPage_->showMicLevel(mic->value());
    }
    if (const std::shared_ptr<Meter> peak = meterWithShortName("MICPEAK")) {
        audioPage_->showMicPeakLevel(peak->value());
    }
}

void MeterDisplays::prefsMeters() {
    const auto host = host_.lock();
    const std::shared_ptr<Radio> radio = host ? host->openedRadio() : nullptr;
    if (!radio || !metersPage_) {
        return;
    }
    std::vector<std::shared_ptr<Meter>> meters = radio->meters()->with([](const auto& byNumber) {
        std::vector<std::shared_ptr<Meter>> all;
        all.reserve(byNumber.size());
        for (const auto& [number, meter] : byNumber) {
            all.push_back(meter);
        }
        return all;
    });
    if (meters.empty()) {
        return;
    }
    std::stable_sort(meters.begin(), meters.end(),
                     [](const auto& a, const auto& b) { return a->shortName() < b->shortName(); });
    const int source = metersPage_->meterSource();
    int slot = 0;
    for (const std::shared_ptr<Meter>& meter : meters) {
        if (slot == kMeterSlots) {
            break;
        }
        if (meter->meterSource() == source && meter->value() > meter->low()) {
            loadMeterDisplayNumber(++slot, meter);
        }
    }
    while (slot < kMeterSlots) {
        loadMeterDisplayNumber(++slot, nullptr);
    }
}

void MeterDisplays::loadMeterDisplayNumber(int slot, const std::shared_ptr<Meter>& meter) {
    if (!metersPage_ || slot < 1 || slot > kMeterSlots) {
        return;
    }
    if (!meter) {
        metersPage_->clearMeterSlot(slot);
        return;
    }
    const std::string name = meter->shortName();
    const double top = name == "SWR" ? kSwrTop : double(meter->high());
    const std::string prefix =
        meter->meterSource() == kMeterSourceSlice ? (meter->sliceNum() == 0 ? "A:" : "B:") : "";
    const double value = meter->value();
    metersPage_->showMeterSlot(slot, meterBar(value, meter->low(), top),
                               text(meterValueText(prefix, name, value, meter->unitsLabel())),
                               QStringLiteral("%1: %2").arg(text(meter->meterSourceString()),
                                                            text(meter->meterDescription())));
}

void MeterDisplays::hudSWRMeter() {
    const std::shared_ptr<Meter> swr = meterWithShortName("SWR");
    if (!swr || !s_meter_level_indicator || !s_meter_text) {
        return;
    }
    const double value = swr->value();
    s_meter_level_indicator->setIntValue(meterBar(value, swr->low(), kSwrTop));
    s_meter_text->setText(QString::number(value, 'f', 2));
    s_meter_level_indicator->setToolTip(QStringLiteral("SWR %1").arg(value, 0, 'f', 2));
}

void MeterDisplays::hudFWDPWRMeter() {
    const std::shared_ptr<Meter> power = meterWithShortName("FWDPWR");
    if (!power || !s_meter_level_indicator || !s_meter_text) {
        return;
    }
    const double dbm = power->value();
    s_meter_level_indicator->setIntValue(meterBar(dbm, power->low(), power->high()));
    s_meter_text->setText(QStringLiteral("%1 dBm").arg(dbm, 0, 'f', 0));
    const double watts = std::pow(10.0, (dbm - 30.0) / 10.0);
    s_meter_level_indicator->setToolTip(QStringLiteral("%1 Watts").arg(watts, 0, 'f', 1));
}

void MeterDisplays::hudSMeter() {
    const auto host = host_.lock();
    const std::shared_ptr<Slice> active = host ? host->activeVFO() : nullptr;
    if (!active || !s_meter_level_indicator || !s_meter_text) {
        return;
    }
    const std::shared_ptr<Meter> level = findMeter(*active->meters(), "LEVEL");
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
