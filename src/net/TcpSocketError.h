#pragma once
// Errors of the TCP socket: its own domain "TcpSocketErrorDomain", and failed system calls in the
// POSIX domain (net/PosixError.h).
#include "net/PosixError.h"
#include "platform/core/Error.h"

#include <string>

namespace vm {

inline constexpr const char* kTcpSocketErrorDomain = "TcpSocketErrorDomain";

enum class TcpSocketErrorCode : long {
    BadConfig = 1,
    BadParam = 2,
    ConnectTimeout = 3,
    ReadTimeout = 4,
    WriteTimeout = 5,
    ReadMaxedOut = 6,
    Closed = 7,
    Other = 8,
};

namespace tcpsocket {

// Codes 1, 2 and 8 carry the message given; codes 3 to 7 their fixed texts.
Error error(TcpSocketErrorCode code, std::string message = {});

}  // namespace tcpsocket
}  // namespace vm
