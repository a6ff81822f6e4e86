// The DoroLink server's messages, each dispatched by its prefix: the radio list, a radio made
// ready for its session, the application's info and user settings, a refused registration, the
// results of a port test, and the server's notice that it ends a connection without pings.
#include "dorolink/WanServer.h"

#include "dorolink/WanRadioList.h"
#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "radio/RadioFactory.h"
#include "util/StringAdditions.h"

#include <algorithm>

namespace vm {

namespace {

constexpr const char* kLackOfPing = "Disconnecting due to lack of ping";
constexpr std::int32_t kLogNameWidth = 20;

std::string text(const RadioInstance::Text& value) { return value.value_or(""); }

}  // namespace

void WanServer::parseMessage(const std::string& message) {
    using Handler = void (WanServer::*)(const std::string&);
    static const std::pair<const char*, Handler> kHandlers[] = {
        {wan::kRadioListPrefix, &WanServer::parseRadioListMessage},
        {"radio connect_ready", &WanServer::parseRadioConnectReadyMessage},
        {"application info", &WanServer::parseApplicationInfo},
        {"application registration_invalid", &WanServer::parseRegistrationInvalid},
        {"application user_settings", &WanServer::parseUserSettings},
        {"radio test_connection", &WanServer::parseTestConnectionResults},
    };
    for (const auto& [prefix, handler] : kHandlers) {
        if (message.starts_with(prefix)) {
            (this->*handler)(message);
            return;
        }
    }
    if (message.starts_with(kLackOfPing)) {
        log("WanServer:Disconnecting: {}", message);
        serverFarewell_ = message;
    } else {
        log("WanServer:ParseMessage:unknown message:[{}]", message);
    }
    postAuthProcessComplete();
}

void WanServer::parseRadioListMessage(const std::string& message) {
    connection_registered = true;
    registrationSent_ = false;
    std::vector<std::shared_ptr<RadioInstance>> radios = wan::radioListRecords(message);
    for (const auto& radio : radios) {
        const std::string serial = text(radio->serialNum);
        if (serial.empty() || !remoteRadioforSerial(serial)) {
            reportListChange(*radio, "added");
        }
    }
    for (const auto& old : remoteRadios_) {
        if (!listRadioforSerial(text(old->serialNum), radios)) {
            reportListChange(*old, "removed");
        }
    }
    remoteRadios_ = std::move(radios);
    postAuthProcessComplete();
    postRadioListChanged(remoteRadios_.empty() ? nullptr : remoteRadios_.back());
}

// `change`: "added" or "removed".
void WanServer::reportListChange(const RadioInstance& radio, const std::string& change) const {
    const std::string serial = text(radio.serialNum);
    const std::string name = text(radio.name);
    log("WanServer:ParseRadioListMessage: {} {} {}, status:[{}]",
        strings::padTo(serial, kLogNameWidth), strings::padTo(name, kLogNameWidth), change,
        text(radio.status));
    showNotificationWithTitle(
        "Remote radio " + change,
        "Remote radio " + serial + " " + name + " " + change + ". Status: " + text(radio.status));
}

void WanServer::parseRadioConnectReadyMessage(const std::string& message) {
    const wan::MessagePairs pairs = wan::messagePairs(strings::removeLineControls(message), true);
    const std::string handle = wan::pairValue(pairs, "handle");
    const std::string serial = wan::pairValue(pairs, "serial");
    if (serial.empty() || handle.empty()) {
        log("WanServer:ParseRadioConnectReadyMessage:missing handle or serial:[{}]", serial);
        postAuthProcessComplete();
        return;
    }
    const auto listed = std::find_if(remoteRadios_.begin(), remoteRadios_.end(),
                                     [&](const auto& radio) { return radio->serialNum == serial; });
    if (listed == remoteRadios_.end()) {
        log("WanServer:ParseRadioConnectReadyMessage:failed to find radioInstance for "
            "serial:[{}]",
            serial);
        postAuthProcessComplete();
        return;
    }
    // The listed record is replaced by one carrying the handle rather than changed in place: a
    // session may be reading the record it was opened with on its own queue.
    auto ready = std::make_shared<RadioInstance>(**listed);
    ready->wanHandle = handle;
    *listed = ready;
    log("WanServer:ParseRadioConnectReadyMessage:radioInstance:serial:[{}] name:[{}]", serial,
        text(ready->name));
    NotificationCenter::defaultCenter().post(kRemoteRadioReady, ready);
}

void WanServer::parseApplicationInfo(const std::string& message) {
    log("WanServer:ParseApplicationInfo:applicationInfo: {}",
        wan::describePairs(wan::messagePairs(message, true)));
}

// The server did not accept the token: a new one may be registered on this connection.
void WanServer::parseRegistrationInvalid(const std::string& message) {
    log("WanServer:ParseRegistrationInvalid:{}", message);
    registrationSent_ = false;
    postAuthProcessComplete();
    showNotificationWithTitle("DoroLink login refused",
                              "The DoroLink server did not accept the login: log in again");
}

void WanServer::parseUserSettings(const std::string& message) {
    log("WanServer:ParseUserSettings:[{}]", wan::describePairs(wan::messagePairs(message, true)));
}

void WanServer::parseTestConnectionResults(const std::string& message) {
    connectionResults_ = wan::messagePairs(message, true);
    tellDelegate([](WanServerDelegate& d) { d.refreshNetWindow(); });
}

void WanServer::removeRadio(const std::string& serial) {
    log("WanServer:removeRadio: {}", serial);
    if (serial.empty()) {
        return;
    }
    const auto last = std::find_if(remoteRadios_.rbegin(), remoteRadios_.rend(),
                                   [&](const auto& radio) { return radio->serialNum == serial; });
    if (last == remoteRadios_.rend()) {
        return;
    }
    remoteRadios_.erase(std::next(last).base());
    postRadioListChanged(nullptr);
}

std::vector<std::shared_ptr<RadioInstance>> WanServer::remoteRadios() const {
    return remoteRadios_;
}

std::shared_ptr<RadioInstance> WanServer::remoteRadioforSerial(const std::string& serial) const {
    return listRadioforSerial(serial, remoteRadios_);
}

std::shared_ptr<RadioInstance> WanServer::listRadioforSerial(
    const std::string& serial, const std::vector<std::shared_ptr<RadioInstance>>& list) {
    if (serial.empty()) {
        return nullptr;
    }
    const auto found = std::find_if(list.begin(), list.end(),
                                    [&](const auto& radio) { return radio->serialNum == serial; });
    return found == list.end() ? nullptr : *found;
}

void WanServer::postAuthProcessComplete() {
    NotificationCenter::defaultCenter().post(kAuthProcessComplete, shared_from_this());
}

void WanServer::postRadioListChanged(std::shared_ptr<RadioInstance> radio) {
    NotificationCenter::defaultCenter().post(kAvailableRadioListChanged, std::move(radio));
}

}  // namespace vm
