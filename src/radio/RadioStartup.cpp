// Session start-up: the stream manager, the program's announcement, the subscriptions and the
// questions whose replies fill the radio's identity.
#include "platform/core/Log.h"
#include "radio/Radio.h"
#include "radio/VitaManager.h"

#include <fmt/format.h>

#include <array>

namespace vm {

namespace {

constexpr std::array<const char*, 16> kSubscriptions{
    "client all", "tx all",           "atu all", "amplifier all", "meter all",    "slice all",
    "gps all",    "audio_stream all", "cwx all", "xvtr all",      "memories all", "daxiq all",
    "dax all",    "usb_cable all",    "tnf all", "spot all",
};

}  // namespace

// Everything goes out in one burst on `radioRunQueue`, right after the connection is up.
void Radio::initializeRadio() {
    log("Radio:initializeRadio");
    startUdp();
    const auto instance = radioInstance();
    if (!(instance && instance->wanRadio.value_or(false))) {
        const auto manager = vitaManager();
        commandToRadio(fmt::format("client udpport {}", manager ? manager->vitaPort() : 0));
    }
    startPingTimer();
    commandToRadio("ping", &Radio::pingResponseCallback);
    commandToRadio("client program " + apiProgramName());
    commandToRadio("keepalive enable");
    for (const char* object : kSubscriptions) {
        subscribe(object);
    }
    commandToRadio("info", &Radio::infoResponseCallback);
    commandToRadio("version", &Radio::versionResponseCallback);
    commandToRadio("ant list", &Radio::antListResponseCallback);
    commandToRadio("mic list", &Radio::micListResponseCallback);
    for (const char* question : {"eq rx info", "eq tx info", "profile global info",
                                 "profile tx info", "profile mic info"}) {
        commandToRadio(question);
    }
}

// The manager is in place at once (the handle line that follows may need it); observers hear of
// it on the main queue.
void Radio::startUdp() {
    auto manager = VitaManager::create(streamInterface_);
    manager->setStreamTables(streamTables_);
    vitaManager.store(manager);
    if (!manager->handleRadio(shared_from_this())) {
        log("Radio:StartUDP:failed to start vitaManager:handleRadio for {}", radioNameForLog());
        vitaManager.store(nullptr);
    } else {
        log("Radio:StartUDP:vitaManager started for {}", radioNameForLog());
        if (manager->wanRadio()) {
            manager->startVitaPingTimer();
        }
    }
    DispatchQueue::main()->async([self = shared_from_this()] { self->vitaManager.announce(); });
}

void Radio::subscribe(const std::string& object) { commandToRadio("sub " + object); }

void Radio::wanSetForwardedPorts(bool isPortForwardOn, std::int32_t tcpPort, std::int32_t udpPort) {
    log("WanSetForwardedPorts:isPortForwardOn:[{}] tcpPort:[{}] udpPort:[{}]",
        isPortForwardOn ? 1 : 0, tcpPort, udpPort);
    const std::string command =
        isPortForwardOn
            ? fmt::format("wan set public_tls_port={} public_udp_port={}", tcpPort, udpPort)
            : std::string("wan set public_tls_port=-1 public_udp_port=-1");
    commandToRadio(command, &Radio::wanSetPortsResponseCallback);
}

std::string Radio::clientIdPrefsKey() const {
    const auto instance = radioInstance();
    const std::string serial = instance ? instance->serialNum.value_or("") : std::string();
    return serial.empty() ? std::string() : "client_" + serial;
}

void Radio::setStreamInterface(std::optional<std::string> address) {
    streamInterface_ = std::move(address);
}

// The reply is logged, so that a refused handle shows.
void Radio::cmdWanValidateByHandle(const Text& handle) {
    if (!handle || handle->empty()) {
        return;
    }
    log("Radio:cmdWanValidateByHandle");
    commandToRadio("wan validate handle=" + *handle, &Radio::wanValidateCallback);
}

void Radio::registerRemoteUdp(const std::string& clientHandle) {
    if (const auto manager = vitaManager()) {
        manager->registerRemoteUdp(clientHandle);
    }
}

}  // namespace vm
