// The stream manager's sockets: binding the stream port, the sending socket, and the reports of
// the stream socket.
#include "radio/VitaManager.h"

#include "platform/core/Log.h"
#include "platform/core/TextValues.h"
#include "radio/Radio.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

namespace vm {

VitaManager::VitaManager(Private, std::optional<std::string> bindInterface)
    : bindInterface_(std::move(bindInterface)),
      vitaRunQueue_(DispatchQueue::serial("com.velmorasoftware.vmsdr.VitaQueue")) {}

std::shared_ptr<VitaManager> VitaManager::create(std::optional<std::string> bindInterface) {
    auto manager = std::make_shared<VitaManager>(Private{}, std::move(bindInterface));
    manager->vitaSocket_ = UdpSocket::create(manager->weak_from_this(), manager->vitaRunQueue_);
    manager->vitaSocket_->setPreferIPv4();
    manager->vitaSocket_->setIPv6Enabled(false);
    manager->vitaSocket_->enableBroadcast(false);
    return manager;
}

VitaManager::~VitaManager() {
    log("VitaManager:dealloc");
    stopVitaPingTimer();
    vitaSocket_->setDelegate(std::weak_ptr<UdpSocketDelegate>());
    vitaSocket_->close();
    if (txSocket_ != -1) {
        ::close(txSocket_);
    }
}

bool VitaManager::handleRadio(const std::shared_ptr<Radio>& radio) {
    radio_ = radio;
    debugLogLevel_ = radio->debugLogLevel();
    const auto record = radio->radioInstance();
    wanRadio_ = record && record->wanRadio.value_or(false);
    supportsV3_ = record && record->supportsV3_API;
    fversion_ = record ? record->fversion : 0;
    host_.clear();
    int firstPort = 65535;
    if (wanRadio_) {
        host_ = record->publicIp.value_or("");
        const bool upnp = record->upnpSupported.value_or(false);
        firstPort = textIntValue(
            (upnp ? record->public_upnp_udp_port : record->public_udp_port).value_or(""));
    } else if (record) {
        host_ = record->ipAddress.value_or("");
        firstPort = kLanStreamPort;
    }
    port_ = 0;
    // Ports outside 1..65535 cannot be a destination; the search never wraps to port 0 (which
    // would bind any port at all).
    bool bound = false;
    for (int attempt = 0; attempt < kPortAttempts && !bound; ++attempt) {
        const int candidate = firstPort + attempt;
        if (candidate < 1 || candidate > 65535) {
            break;
        }
        Error error;
        if (vitaSocket_->bindToPort(static_cast<std::uint16_t>(candidate), bindInterface_,
                                    &error)) {
            port_ = static_cast<std::uint16_t>(candidate);
            bound = true;
        } else {
            log("VitaManager:handleRadio:vitaSocket: Error binding to port: {}, {}", candidate,
                error.description);
        }
    }
    if (!bound) {
        log("VitaManager:handleRadio:vitaSocket: Unable to find free socket");
        return false;
    }
    log("VitaManager:handleRadio:vitaSocket bound to host: {} on port: {} ", host_, port_);
    vitaSocket_->performBlock([this] {
        const int size = kReceiveBufferSize;
        ::setsockopt(vitaSocket_->socket4FD(), SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    });
    if (!createTxSocket()) {
        return false;
    }
    vitaPort_ = port_;
    vitaSocket_->beginReceiving();
    return true;
}

// An unbound socket: packets leave from a port the system chooses, towards the port number bound
// for receiving.
bool VitaManager::createTxSocket() {
    txSocket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (txSocket_ == -1) {
        log("VitaManager:createTxSocket:cound not create raw cfSocket for {} on port: {}", host_,
            port_);
        return false;
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    if (::inet_aton(host_.c_str(), &address.sin_addr) == 0) {
        address.sin_addr.s_addr = INADDR_ANY;
    }
    destAddress_.assign(reinterpret_cast<const char*>(&address), sizeof address);
    log("VitaManager:createTxSocket:raw cfSocket created for {} on port: {}", host_, port_);
    return true;
}

void VitaManager::setStreamTables(std::shared_ptr<const VitaStreamTables> tables) {
    vitaRunQueue_->sync([&] {
        tables_ = std::move(tables);
        routes_ = {};
    });
}

std::string VitaManager::clientHandle() const {
    std::lock_guard lock(mutex_);
    return clientHandle_;
}

void VitaManager::udpSocketDidReceiveData(UdpSocket& /*sock*/, const Bytes& data,
                                          const SocketAddress& /*address*/,
                                          const std::any& /*context*/) {
    receiveDatagram(data);
}

void VitaManager::udpSocketDidConnectToAddress(UdpSocket& /*sock*/, const SocketAddress& address) {
    log("VitaManager:didConnectToAddress:[{}]", sockaddr::hostFromAddress(address).value_or(""));
}

void VitaManager::udpSocketDidNotConnect(UdpSocket& /*sock*/, const Error& error) {
    log("VitaManager:didNotConnect:error:[{}]", error.description);
}

void VitaManager::udpSocketDidNotSendDataWithTag(UdpSocket& /*sock*/, long /*tag*/,
                                                 const Error& error) {
    log("VitaManager:didNotSendDataWithTag:error:[{}]", error.description);
}

void VitaManager::udpSocketDidClose(UdpSocket& /*sock*/, const std::optional<Error>& error) {
    if (error) {
        log("VitaManager:udpSocketDidClose:withError:[{}]", error->description);
    }
}

}  // namespace vm
