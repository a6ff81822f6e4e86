// The bridge's life, what it listens to, the siblings' presence and what it sends.
#include "app/control/SiblingBridge.h"

#include "app/control/SiblingValues.h"
#include "objects/Slice.h"
#include "platform/core/Log.h"
#include "platform/ui/BusNames.h"
#include "radio/RadioInstance.h"

#include <QDBusMessage>

#include <cstdlib>

namespace vm {

using namespace std::chrono_literals;

std::shared_ptr<SiblingBridge> SiblingBridge::create(DistributedNotificationCenter& center,
                                                     QDBusConnection bus,
                                                     DispatchQueuePtr kbrx_zenithor_queue,
                                                     std::weak_ptr<SiblingBridgeHost> host) {
    std::shared_ptr<SiblingBridge> bridge(
        new SiblingBridge(center, std::move(bus), std::move(kbrx_zenithor_queue), std::move(host)));
    bridge->restoreBandPlan();
    return bridge;
}

SiblingBridge::SiblingBridge(DistributedNotificationCenter& center, QDBusConnection bus,
                             DispatchQueuePtr queue, std::weak_ptr<SiblingBridgeHost> host)
    : center_(center),
      bus_(std::move(bus)),
      kbrx_zenithor_queue_(std::move(queue)),
      host_(std::move(host)),
      lastPurge_(std::chrono::system_clock::now()) {}

SiblingBridge::~SiblingBridge() {
    for (const auto token : observers_) {
        center_.removeObserver(token);
    }
}

void SiblingBridge::registerDistributedNotifications() {
    std::weak_ptr<SiblingBridge> weak = weak_from_this();
    auto route = [this, weak](const char* name, void (SiblingBridge::*handler)(const PlistDict&)) {
        observers_.push_back(
            center_.addObserver(name, [weak, handler](const DistributedNotification& note) {
                if (const auto self = weak.lock()) {
                    ((*self).*handler)(note.userInfo);
                }
            }));
    };
    route("com.velmorasoftware.tune_doro_satellite", &SiblingBridge::satellite);
    observers_.push_back(center_.addObserver("com.velmorasoftware.reset_dx_spots",
                                             [weak](const DistributedNotification&) {
                                                 if (const auto self = weak.lock()) {
                                                     self->resetSpots();
                                                 }
                                             }));
    route("com.velmorasoftware.new_dx_spot", &SiblingBridge::newSpotNotification);
    route("com.velmorasoftware.band_plan", &SiblingBridge::loadBandPlan);
    route("com.velmorasoftware.center_pan", &SiblingBridge::centerPanNotification);
}

void SiblingBridge::start() { checkSiblings(true); }

void SiblingBridge::checkSiblings(bool log) {
    zenithorRunning_ = busNameHasOwner(kTrackerBusName, bus_);
    isTrvlRunning_ = busNameHasOwner(kLoggerBusName, bus_);
    if (log) {
        // A program on the bus tells us no version of its own.
        for (const auto& [name, running] :
             {std::pair{"Zenithor", zenithorRunning_}, std::pair{"Tarvelo", isTrvlRunning_}}) {
            if (running) {
                vm::log("appIsRunning:{} Version {} is running", name, "unknown");
            }
        }
    }
}

void SiblingBridge::heartBeat() {
    const auto host = host_.lock();
    if (!host) {
        return;
    }
    const Date now = std::chrono::system_clock::now();
    if (host->loggerSpotsOn() && now - lastPurge_ > 60s) {
        ageTRVLSpots();
        lastPurge_ = now;
    }
    if (!host->radioIsOpen() || !host->radioConnectedAsGui()) {
        return;
    }
    const auto active = host->activeVFO();
    if (!active || !host->openRadioIsRemote() || !host->tuneLoggerOn()) {
        return;
    }
    const std::string frequency = active->sliceFrequency().value_or("");
    std::string split = "0";
    const auto transmit = host->transmitVFO();
    if (transmit && transmit != active) {
        const double tx = std::strtod(transmit->sliceFrequency().value_or("0").c_str(), nullptr);
        const double rx = std::strtod(frequency.c_str(), nullptr);
        split = fmt::format("{:g}", (tx - rx) * 1000);
    }
    tuneTrvlToMhz(frequency, active->sliceMode().value_or(""), split);
}

void SiblingBridge::post(const std::string& name, const PlistDict& userInfo) {
    center_.post(name, kObject, userInfo);
}

void SiblingBridge::requestUpdateFromTRVL() {
    if (!isTrvlRunning_) {
        return;
    }
    log("Request update from Tarvelo");
    post("com.velmorasoftware.request_update", {});
}

void SiblingBridge::tellNewRemoteRadio(const RadioInstance& radio) {
    if (!isTrvlRunning_) {
        return;
    }
    const auto host = host_.lock();
    if (host && host->debugEnabled()) {
        log("Tell Tarvelo about the new remote radio:name:{}, serial number:{}",
            radio.name.value_or(""), radio.serialNum.value_or(""));
    }
    PlistDict info;
    for (const auto& [key, value] : {std::pair{"serialNum", radio.serialNum.value_or("")},
                                     std::pair{"name", radio.name.value_or("")},
                                     std::pair{"status", radio.status.value_or("")}}) {
        if (!value.empty()) {
            info[key] = value;
        }
    }
    post("com.velmorasoftware.new_remote_radio", info);
}

void SiblingBridge::fineTuned(bool active, double stepMHz) {
    if (!zenithorRunning_) {
        return;
    }
    post("com.velmorasoftware.doro_fine_tune", {{"active", active}, {"stepMHz", stepMHz}});
    const auto host = host_.lock();
    if (host && host->debugEnabled()) {
        log("fineTuneHz:notification:active:[{}] stepMHz[{:g}]", int(active), stepMHz);
    }
}

void SiblingBridge::sMeterBarChanged(int bar) {
    if (zenithorRunning_) {
        post("com.velmorasoftware.doro_s_meter", {{"newValue", bar}});
    }
}

void SiblingBridge::tuneTrvlToMhz(const std::string& mhz, const std::string& mode,
                                  const std::string& split) {
    const auto host = host_.lock();
    if (!host || mhz.empty() || mode.empty() || split.empty() || !host->tuneLoggerOn() ||
        !isTrvlRunning_) {
        return;
    }
    if (host->panadapterDragging()) {
        return;
    }
    if (std::chrono::system_clock::now() - host->timeOfLastTuning() <= 1s) {
        return;
    }
    const double frequency = std::strtod(mhz.c_str(), nullptr);
    if (lastTarveloFrequency_ == frequency && lastSplit_ == split) {
        return;  // the mode alone is not worth a call
    }
    lastTarveloFrequency_ = frequency;
    lastSplit_ = split;
    // Typed arguments in order on one connection, answered by nobody: the logger takes them
    // when it can, and nothing here waits for it.
    callLogger("setLogFrequency", mhz);
    callLogger("setLogMode", mode);
    callLogger("setSplitKhz", split);
}

void SiblingBridge::callLogger(const char* method, const std::string& value) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(kLoggerBusName, kLoggerPath, kLoggerInterface, method);
    call << QString::fromStdString(value);
    call.setAutoStartService(false);
    if (!bus_.send(call)) {
        log("tuneTrvlToMhz:{}:[{}] not sent:{}", method, value,
            bus_.lastError().message().toStdString());
    }
}

}  // namespace vm
