#include "app/control/RemoteEndpoint.h"

#include "platform/core/TextValues.h"

namespace vm {

std::optional<RemoteEndpoint> remoteRadioEndpoint(const RadioInstance& radio) {
    const std::string ip = radio.publicIp.value_or("");
    const bool upnp = radio.upnpSupported.value_or(false);
    const int port =
        textIntValue((upnp ? radio.public_upnp_tls_port : radio.public_tls_port).value_or(""));
    if (ip.empty() || port < 1 || port > 65535) {
        return std::nullopt;
    }
    return RemoteEndpoint{ip, static_cast<std::uint16_t>(port)};
}

}  // namespace vm
