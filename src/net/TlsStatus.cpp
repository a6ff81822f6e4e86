#include "net/TlsStatus.h"

namespace vm::tcpsocket {

namespace {

const char* describe(TlsStatus status) {
    switch (status) {
        case tlsSuccess: return "TLS operation succeeded";
        case errSSLWouldBlock: return "TLS operation would block";
        case errSSLClosedGraceful: return "The peer closed the TLS session";
        case errSSLClosedAbort: return "The connection closed before the TLS session ended";
        case errSSLPeerAuthCompleted: return "The peer's certificate is waiting for evaluation";
        case errSSLPeerBadCert: return "The peer's certificate was not trusted";
        case errSSLProtocol: return "TLS protocol failure";
        case errSSLCertExpired: return "The peer's certificate has expired";
        case errSSLCertNotYetValid: return "The peer's certificate is not yet valid";
        case errSSLHostNameMismatch: return "The peer's certificate is not valid for the peer name";
        case errSSLUnknownRootCert:
            return "The peer's certificate was issued by an unknown authority";
        case errSSLBadCert: return "The peer's certificate could not be verified";
    }
    return "TLS failure";
}

}  // namespace

Error tlsError(TlsStatus status, std::string reason) {
    return Error{kTlsErrorDomain, static_cast<long>(status), describe(status), std::move(reason)};
}

}  // namespace vm::tcpsocket
