#include "net/TcpSocketError.h"

namespace vm::tcpsocket {

Error error(TcpSocketErrorCode code, std::string message) {
    switch (code) {
        case TcpSocketErrorCode::ConnectTimeout:
            message = "Attempt to connect to host timed out";
            break;
        case TcpSocketErrorCode::ReadTimeout: message = "Read operation timed out"; break;
        case TcpSocketErrorCode::WriteTimeout: message = "Write operation timed out"; break;
        case TcpSocketErrorCode::ReadMaxedOut:
            message = "Read operation reached set maximum length";
            break;
        case TcpSocketErrorCode::Closed: message = "Socket closed by remote peer"; break;
        case TcpSocketErrorCode::BadConfig:
        case TcpSocketErrorCode::BadParam:
        case TcpSocketErrorCode::Other: break;
    }
    return Error{kTcpSocketErrorDomain, static_cast<long>(code), std::move(message)};
}

}  // namespace vm::tcpsocket
