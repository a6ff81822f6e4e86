#pragma once
// The errors a UdpSocket reports: its own domain "UdpSocketErrorDomain", and system-call failures
// in the POSIX domain (net/PosixError.h), as the TCP socket reports them.
#include "net/PosixError.h"
#include "platform/core/Error.h"

#include <string>

namespace vm {

inline constexpr const char* kUdpSocketErrorDomain = "UdpSocketErrorDomain";

enum class UdpSocketErrorCode : long {
    NoError = 0,
    BadConfig = 1,
    BadParam = 2,
    SendTimeout = 3,
    Closed = 4,
    Other = 5,
};

namespace udp {

Error badConfigError(std::string message);
Error badParamError(std::string message);
Error otherError(std::string message);
Error sendTimeoutError();  // "Send operation timed out"
Error closedError();       // "Socket closed"

}  // namespace udp
}  // namespace vm
