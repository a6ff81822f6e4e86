#include "net/UdpSocketError.h"

namespace vm::udp {

namespace {

Error udpError(UdpSocketErrorCode code, std::string message) {
    return Error{kUdpSocketErrorDomain, static_cast<long>(code), std::move(message)};
}

}  // namespace

Error badConfigError(std::string message) {
    return udpError(UdpSocketErrorCode::BadConfig, std::move(message));
}

Error badParamError(std::string message) {
    return udpError(UdpSocketErrorCode::BadParam, std::move(message));
}

Error otherError(std::string message) {
    return udpError(UdpSocketErrorCode::Other, std::move(message));
}

Error sendTimeoutError() {
    return udpError(UdpSocketErrorCode::SendTimeout, "Send operation timed out");
}

Error closedError() { return udpError(UdpSocketErrorCode::Closed, "Socket closed"); }

}  // namespace vm::udp
