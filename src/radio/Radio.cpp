// Creation, connection states, the delegate and the end of a session.
#include "radio/Radio.h"

#include "platform/core/Log.h"
#include "radio/VitaManager.h"

#include <utility>

namespace vm {

namespace {

TextList rxAntennasForModel(const Text& model) {
    if (model == "DORO-6700") {
        return {"ANT1", "ANT2", "RX_A", "RX_B", "XVTR"};
    }
    if (model == "DORO-6300") {
        return {"ANT1", "ANT2", "XVTR"};
    }
    return {"ANT1", "ANT2", "RX_A", "XVTR"};
}

// What the caller of close() keeps until the connection is closed: the closing socket holds it as
// its user data and reports its disconnect to it.
class HeldUntilDisconnect : public TcpSocketDelegate {
public:
    explicit HeldUntilDisconnect(std::shared_ptr<void> held) : held_(std::move(held)) {}
    void socketDidDisconnect(const TcpSocketPtr& sock, const std::optional<Error>&) override {
        if (sock) {
            // The descriptor itself is closed by a task the disconnect left on the socket's
            // queue; a question asked there is answered after it.
            [[maybe_unused]] const bool closed = sock->isDisconnected();
        }
        held_.reset();
    }

private:
    std::shared_ptr<void> held_;
};

}  // namespace

Radio::Radio(Private, std::shared_ptr<RadioInstance> record, std::weak_ptr<RadioDelegate> owner,
             std::string programName, int logLevel) {
    // The queue, the word tables, the filter table and the collections are built with RadioState.
    debugLogLevel.store(logLevel);
    rxAntennaPorts.store(rxAntennasForModel(record ? record->model : Text{}));
    radioInstance.store(std::move(record));
    apiProgramName.store(std::move(programName));
    delegate.store(std::move(owner));
    connectionState_.store(kStateConnecting);
    routeRadioWideStatus();
}

std::shared_ptr<Radio> Radio::createDetached(std::shared_ptr<RadioInstance> record,
                                             std::weak_ptr<RadioDelegate> owner,
                                             std::string programName, int logLevel, Attach attach) {
    if (!record) {
        record = std::make_shared<RadioInstance>();
    }
    auto radio = std::make_shared<Radio>(Private{}, std::move(record), std::move(owner),
                                         std::move(programName), logLevel);
    if (attach) {
        attach(*radio);
    }
    return radio;
}

std::shared_ptr<Radio> Radio::create(std::shared_ptr<RadioInstance> record, const std::string& ip,
                                     std::uint16_t port, std::weak_ptr<RadioDelegate> owner,
                                     std::string programName, int logLevel, Attach attach) {
    if (!record) {
        record = std::make_shared<RadioInstance>();
    }
    log("Radio:initWithRadioInstanceAndDelegate:[{}] wan:[{}] ip:[{}], port:[{}] "
        "apiProgramName:[{}]",
        record->name.value_or(""), record->wanRadio.value_or(false) ? 1 : 0, ip, port, programName);
    auto radio = createDetached(std::move(record), std::move(owner), std::move(programName),
                                logLevel, attach);
    return radio->startConnecting(ip, port) ? radio : nullptr;
}

void Radio::routeStatus(StatusType type, StatusParser parser) {
    statusRoutes_[static_cast<std::size_t>(type)].parser = parser;
}

void Radio::whenClosing(ClosingStep step) { closingSteps_.push_back(step); }

void Radio::makePanafallPairsWith(PanafallPairMaker maker) { panafallPairMaker_ = maker; }

Radio::~Radio() {
    if (const DispatchSourcePtr timer = pingTimer()) {
        timer->cancel();
    }
    log("Radio:dealloc completed");
}

std::string Radio::radioNameForLog() const {
    const auto instance = radioInstance();
    return instance && instance->name ? *instance->name : std::string();
}

void Radio::setConnectionState(std::uint32_t state) {
    connectionState_.store(state);
    tellDelegate();
}

// The closure reads the state when it runs, so two quick changes may both report the later one.
void Radio::tellDelegate() {
    DispatchQueue::main()->async([self = shared_from_this()] {
        if (const auto owner = self->delegate().lock()) {
            owner->radioConnectionStateChange(self, self->radioConnectionState());
        }
    });
}

bool Radio::isSessionSocket(const TcpSocketPtr& sock) const {
    std::lock_guard lock(socketMutex_);
    return sock && sock == radioSocket_;
}

void Radio::close(std::shared_ptr<void> keepUntilDisconnected) {
    log("Radio close");
    radioRunQueue()->sync([this, &keepUntilDisconnected] {
        stopPingTimer();
        for (const ClosingStep step : closingSteps_) {
            step(*this);
        }
        slices()->with([](auto& slots) { slots.fill(nullptr); });
        TcpSocketPtr sock;
        {
            std::lock_guard lock(socketMutex_);
            sock = std::move(radioSocket_);
        }
        if (sock) {
            std::shared_ptr<TcpSocketDelegate> closing;
            if (keepUntilDisconnected) {
                closing = std::make_shared<HeldUntilDisconnect>(std::move(keepUntilDisconnected));
                sock->setUserData(closing);  // a socket already closed lets it go with itself
            }
            sock->setDelegate(closing);
            sock->disconnectAfterWriting();
        }
        connectionState_.store(kStateDisconnected);
    });
    tellDelegate();
    if (const auto manager = vitaManager()) {
        manager->stopVitaPingTimer();
    }
    vitaManager.store(nullptr);
}

}  // namespace vm
