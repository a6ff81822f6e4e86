// The discovery listener, its table of radios and their ageing.
#include "radio/RadioFactory.h"

#include "platform/core/Log.h"
#include "platform/core/NotificationCenter.h"
#include "radio/RadioDiscovery.h"

#include <chrono>

namespace vm {

std::shared_ptr<RadioFactory> RadioFactory::create(std::uint16_t port) {
    auto factory = std::make_shared<RadioFactory>(Private{});
    return factory->start(port) ? factory : nullptr;
}

bool RadioFactory::start(std::uint16_t port) {
    udpSocket_ = UdpSocket::create(weak_from_this(), DispatchQueue::main());
    udpSocket_->setPreferIPv4();
    udpSocket_->setIPv6Enabled(false);
    // Several clients on one machine all hear the broadcasts through a shared port.
    udpSocket_->enableBroadcast(true);
    udpSocket_->enableReusePort(true);
    Error error;
    if (!udpSocket_->bindToPort(port, &error)) {
        log("Error binding: {}", error.description);
        udpSocket_->setDelegate(std::weak_ptr<UdpSocketDelegate>());
        udpSocket_->close();
        return false;
    }
    localPort_ = udpSocket_->localPort();
    udpSocket_->beginReceiving();

    timeoutTimer_ = DispatchSource::makeTimer(DispatchQueue::main());
    timeoutTimer_->setEventHandler([weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->radioTimeoutCheck();
        }
    });
    timeoutTimer_->setTimer(std::chrono::seconds(1), std::chrono::seconds(1),
                            std::chrono::milliseconds(100));
    timeoutTimer_->resume();
    log("RadioFactory:Ready");
    return true;
}

RadioFactory::~RadioFactory() {
    if (timeoutTimer_) {
        timeoutTimer_->cancel();
    }
    if (udpSocket_) {
        udpSocket_->setDelegate(std::weak_ptr<UdpSocketDelegate>());
        udpSocket_->close();
    }
}

std::vector<std::shared_ptr<RadioInstance>> RadioFactory::availableRadioInstances() const {
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<RadioInstance>> records;
    records.reserve(discoveredRadios_.size());
    for (const auto& entry : discoveredRadios_) {
        records.push_back(entry.second);
    }
    return records;
}

void RadioFactory::udpSocketDidReceiveData(UdpSocket& /*sock*/, const Bytes& data,
                                           const SocketAddress& address,
                                           const std::any& /*context*/) {
    auto record =
        discovery::recordFromDatagram(data, sockaddr::hostFromAddress(address).value_or(""));
    if (record) {
        radioFound(std::make_shared<RadioInstance>(std::move(*record)));
    }
}

void RadioFactory::radioFound(std::shared_ptr<RadioInstance> record) {
    const std::string serial = record->serialNum.value_or("");
    const std::string name = record->name.value_or("");
    if (serial.empty()) {
        log("RadioFactory:radioFound:Radio:name:[{}] is missing serial number!", name);
        return;
    }
    std::shared_ptr<RadioInstance> known;
    {
        std::lock_guard lock(mutex_);
        if (const auto found = discoveredRadios_.find(serial); found != discoveredRadios_.end()) {
            known = found->second;
            if (known->isEqual(*record)) {
                // The same announcement again: the stored record stays, only its time moves.
                known->lastSeen = DispatchClock::now();
                return;
            }
        }
    }
    {
        std::lock_guard lock(mutex_);
        discoveredRadios_[serial] = record;
    }
    if (known) {
        log("RadioFactory:radioFound:Radio updated:[{}] key(s/n):[{}]", name, serial);
    } else {
        log("RadioFactory:radioFound:Radio added:[{}] key(s/n):[{}]", name, serial);
    }
    NotificationCenter::defaultCenter().post(kAvailableRadioListChanged, record);
}

void RadioFactory::radioTimeoutCheck() {
    const auto now = DispatchClock::now();
    bool removed = false;
    {
        std::lock_guard lock(mutex_);
        for (auto it = discoveredRadios_.begin(); it != discoveredRadios_.end();) {
            const RadioInstance& record = *it->second;
            const double age = Seconds(now - record.lastSeen.value_or(now)).count();
            const std::string name = record.name.value_or("");
            if (age > kSilenceWarning) {
                log("RadioFactory:radioTimeoutCheck:Warning: {} last seen {:0.2f} seconds ago",
                    name, age);
            }
            if (age > kSilenceTimeout) {
                log("RadioFactory:radioTimeoutCheck:Timeout: {} last seen {:0.2f} seconds ago, "
                    "removed "
                    "from discoveredRadios",
                    name, age);
                it = discoveredRadios_.erase(it);
                removed = true;
            } else {
                ++it;
            }
        }
    }
    if (removed) {
        NotificationCenter::defaultCenter().post(kAvailableRadioListChanged, nullptr);
    }
}

void RadioFactory::close() {
    {
        std::lock_guard lock(mutex_);
        discoveredRadios_.clear();
    }
    if (udpSocket_) {
        udpSocket_->close();
        udpSocket_->setDelegate(std::weak_ptr<UdpSocketDelegate>());
    }
    if (timeoutTimer_) {
        timeoutTimer_->cancel();
        timeoutTimer_ = nullptr;
    }
}

}  // namespace vm
