#include "app/dorolink/NetTestController.h"

#include "app/windows/StatusImages.h"
#include "dorolink/WanServer.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Log.h"
#include "platform/core/TextValues.h"

namespace vm {

namespace {

using Port = NetTestWindow::Port;
using Light = NetTestWindow::Light;

std::shared_ptr<RadioInstance> selectedRadio(
    const std::vector<std::shared_ptr<RadioInstance>>& radios, int row) {
    if (radios.empty()) {
        return nullptr;
    }
    if (radios.size() > 1 && row >= 0 && static_cast<std::size_t>(row) < radios.size()) {
        return radios[static_cast<std::size_t>(row)];
    }
    return radios.front();
}

bool resultOn(const wan::MessagePairs& results, const char* key) {
    return textBoolValue(wan::pairValue(results, key));
}

QString text(const std::optional<std::string>& value) {
    return QString::fromStdString(value.value_or(""));
}

}  // namespace

NetTestController::NetTestController(DoroLinkAuthHost& host, std::shared_ptr<WanServer> server)
    : host_(host), server_(std::move(server)), netWindow_(std::make_unique<NetTestWindow>()) {
    QObject::connect(netWindow_.get(), &NetTestWindow::netTestButtonPressed,
                     [this] { netTestButtonPressed(); });
    QObject::connect(netWindow_.get(), &NetTestWindow::saveButtonPressed,
                     [this] { saveButtonPressed(); });
    QObject::connect(netWindow_.get(), &NetTestWindow::setPortMode, [this] { setPortMode(); });
}

NetTestController::~NetTestController() = default;

std::shared_ptr<RadioInstance> NetTestController::selectedRemoteRadio() const {
    return selectedRadio(server_->remoteRadios(), host_.selectedRemoteRow());
}

std::shared_ptr<RadioInstance> NetTestController::selectedLocalRadio() const {
    return selectedRadio(host_.localRadios(), host_.selectedLocalRow());
}

void NetTestController::greyLights() {
    const QImage grey = statusImageNamed("gray_ball");
    netWindow_->setLight(Light::upnp, grey, {});
    netWindow_->setLight(Light::forwarded, grey, {});
}

void NetTestController::openNetWindow() {
    netWindow_->makeKeyAndOrderFront();
    greyLights();
    refreshNetWindow();
    if (netWindow_->testEnabled()) {
        std::weak_ptr<bool> alive = alive_;
        DispatchQueue::main()->after(kTestDelay, [this, alive] {
            if (alive.lock()) {
                netTestButtonPressed();
            }
        });
    }
}

void NetTestController::refreshNetWindow() {
    NetTestWindow& window = *netWindow_;
    window.setTestRunning(false);
    window.setStatusText({});
    std::shared_ptr<RadioInstance> radio = selectedRemoteRadio();
    if (!radio) {
        radio = selectedLocalRadio();
    }

    const std::shared_ptr<RadioInstance> open = host_.openRadioInstance();
    if (!open || open->wanRadio.value_or(false)) {
        window.setSaveEnabled(false,
                              QStringLiteral("Radio must be connected on local network to change "
                                             "values"));
    } else {
        window.setSaveEnabled(true, {});
    }
    window.setPortText(Port::upnpTcp, QStringLiteral("4994"));
    window.setPortText(Port::upnpUdp, QStringLiteral("4993"));
    window.setPortText(Port::manualTcp, QStringLiteral("2100"));
    window.setPortText(Port::manualUdp, QStringLiteral("2200"));

    QString subject = QStringLiteral("this radio");
    if (radio) {
        const bool wan = radio->wanRadio.value_or(false);
        log("refreshNetWindow:upnp:{}", int(radio->upnpSupported.value_or(false)));
        log("refreshNetWindow:public_upnp_tls_port:{}", radio->public_upnp_tls_port.value_or(""));
        log("refreshNetWindow:public_upnp_udp_port:{}", radio->public_upnp_udp_port.value_or(""));
        log("refreshNetWindow:public_tls_port:{}", radio->public_tls_port.value_or(""));
        log("refreshNetWindow:public_udp_port:{}", radio->public_udp_port.value_or(""));
        if (wan) {
            if (radio->upnpSupported.value_or(false)) {
                window.setUpnpOn(true);
            } else {
                window.setPortForwardingOn(true);
            }
            const std::pair<const RadioInstance::Text*, Port> ports[] = {
                {&radio->public_upnp_tls_port, Port::upnpTcp},
                {&radio->public_upnp_udp_port, Port::upnpUdp},
                {&radio->public_tls_port, Port::manualTcp},
                {&radio->public_udp_port, Port::manualUdp}};
            for (const auto& [value, port] : ports) {
                if (value->has_value()) {
                    window.setPortText(port, text(*value));
                }
            }
        } else {
            subject = text(radio->ipAddress);
        }

        const wan::MessagePairs& results = server_->connectionResults();
        if (results.empty()) {
            greyLights();
        } else {
            const QString description = QString::fromStdString(wan::describePairs(results));
            const bool upnpTcp = resultOn(results, "upnp_tcp_port_working");
            const bool upnpUdp = resultOn(results, "upnp_udp_port_working");
            const bool forwardTcp = resultOn(results, "forward_tcp_port_working");
            const bool forwardUdp = resultOn(results, "forward_udp_port_working");
            log("refreshNetWindow: upnp_tcp_port_working: {} upnp_udp_port_working: {} "
                "forward_tcp_port_working: {} forward_udp_port_working: {}",
                int(upnpTcp), int(upnpUdp), int(forwardTcp), int(forwardUdp));
            const QImage green = statusImageNamed("green_ball");
            const QImage red = statusImageNamed("red_ball");
            const bool forwarded = forwardTcp && forwardUdp;
            const bool upnp = upnpTcp && upnpUdp;
            window.setLight(Light::forwarded, forwarded ? green : red, description);
            if (forwarded && !wan) {
                window.setPortForwardingOn(true);
            }
            window.setLight(Light::upnp, upnp ? green : red, description);
            if (upnp && !wan) {
                window.setUpnpOn(true);
            }
        }
    }
    window.setForwardingText(
        QStringLiteral("Forward these ports on your router for %1").arg(subject));
}

void NetTestController::saveButtonPressed() {
    NetTestWindow& window = *netWindow_;
    const std::shared_ptr<RadioInstance> open = host_.openRadioInstance();
    if (!open) {
        window.setStatusText(QStringLiteral("Radio must be connected to change settings"));
        return;
    }
    if (open->wanRadio.value_or(false)) {
        window.setStatusText(QStringLiteral("Radio must be on local network to change settings"));
        return;
    }
    host_.wanSetForwardedPorts(window.portForwardingOn(), window.portValue(Port::manualTcp),
                               window.portValue(Port::manualUdp));
    window.setStatusText(QStringLiteral("Changes saved"));
}

void NetTestController::netTestButtonPressed() {
    NetTestWindow& window = *netWindow_;
    window.setStatusText({});
    std::shared_ptr<RadioInstance> radio = selectedLocalRadio();
    if (!radio) {
        radio = selectedRemoteRadio();
    }
    if (!radio) {
        log("netTestButtonPressed:no radios");
        return;
    }
    greyLights();
    const std::string serial = radio->serialNum.value_or("");
    if (serial.empty()) {
        log("netTestButtonPressed:no radio instance or serial number");
        return;
    }
    window.setTestRunning(true);
    server_->sendTestConnection(serial);
    std::weak_ptr<bool> alive = alive_;
    DispatchQueue::main()->after(kTestPatience, [this, alive] {
        if (alive.lock()) {
            netWindow_->setTestRunning(false);
        }
    });
}

void NetTestController::setPortMode() {
    log("setPortMode:[{} {}]", int(netWindow_->portForwardingOn()), int(netWindow_->upnpOn()));
}

}  // namespace vm
