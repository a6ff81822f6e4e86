// The DoroLink path (UDP registration and pings) and the sending of the audio streams' packets.
#include "platform/core/Log.h"
#include "radio/VitaManager.h"

#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>

namespace vm {

void VitaManager::sendUdp(const std::string& text) {
    if (text.empty()) {
        return;
    }
    vitaSocket_->sendData(text, host_, port_, -1, 0);
}

// Sends the registration every 50 ms until the radio's first packet arrives, at most 100 times.
// The steps run on a low-priority global queue and do not keep the manager alive.
void VitaManager::registerRemoteUdp(const std::string& handle) {
    {
        std::lock_guard lock(mutex_);
        clientHandle_ = handle;
    }
    std::string command = "client udp_register handle=" + handle;
    log("VitaManager:registerRemoteUDP:command:[{}]", command);
    DispatchQueue::global(DispatchQueue::Priority::Low)
        ->async([weak = weak_from_this(), command = std::move(command)] {
            if (const auto self = weak.lock()) {
                self->registrationStep(command, 0);
            }
        });
}

void VitaManager::registrationStep(std::string command, int sent) {
    if (vitaPacketReceived() || vitaSocket_->isClosed()) {
        return;
    }
    if (sent == kRegisterAttempts) {
        log("VitaManager:registerRemoteUDP: failed");
        return;
    }
    sendUdp(command);
    DispatchQueue::global(DispatchQueue::Priority::Low)
        ->after(kRegisterInterval, [weak = weak_from_this(), command = std::move(command), sent] {
            if (const auto self = weak.lock()) {
                self->registrationStep(command, sent + 1);
            }
        });
}

void VitaManager::startVitaPingTimer() {
    log("VitaManager:startVitaPingTimer");
    stopVitaPingTimer();
    auto timer = DispatchSource::makeTimer(vitaRunQueue_);
    timer->setEventHandler([weak = weak_from_this()] {
        if (const auto self = weak.lock()) {
            self->pingTimerFired();
        }
    });
    timer->setTimer(DispatchClock::duration::zero(), kPingInterval, std::chrono::milliseconds(500));
    {
        std::lock_guard lock(mutex_);
        vitaPingTimer_ = timer;
    }
    timer->resume();
}

void VitaManager::stopVitaPingTimer() {
    DispatchSourcePtr timer;
    {
        std::lock_guard lock(mutex_);
        timer = std::move(vitaPingTimer_);
    }
    if (timer) {
        log("stopVitaPingTimer");
        timer->cancel();
    }
}

// Pings only once the radio's streams have reached us and the handle is known.
void VitaManager::pingTimerFired() {
    const std::string handle = clientHandle();
    if (!handle.empty() && vitaPacketReceived()) {
        sendUdp("client ping handle=" + handle);
    }
}

void VitaManager::txStreamPacket(const Bytes& packet) {
    if (!vitaPacketReceived() || txSocket_ == -1) {
        return;
    }
    // Never blocks the audio thread: a full send buffer counts as a time-out for this packet.
    const ssize_t sent =
        ::sendto(txSocket_, packet.data(), packet.size(), MSG_DONTWAIT | MSG_NOSIGNAL,
                 reinterpret_cast<const ::sockaddr*>(destAddress_.data()),
                 static_cast<socklen_t>(destAddress_.size()));
    if (sent >= 0) {
        return;
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
        log("VitaManager:txStreamPacket send error: kCFSocketTimeout");
    } else {
        log("VitaManager:txStreamPacket send error: kCFSocketError");
    }
}

}  // namespace vm
