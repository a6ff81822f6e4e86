#pragma once
// Results of the TLS engine under the TCP socket, and the errors the socket reports for them in
// the domain "kCFStreamErrorDomainSSL" (code: the status).
#include "platform/core/Error.h"

#include <cstdint>
#include <string>

namespace vm {

inline constexpr const char* kTlsErrorDomain = "kCFStreamErrorDomainSSL";

enum TlsStatus : std::int32_t {
    tlsSuccess = 0,
    errSSLWouldBlock = -1,         // the connection has nothing more now; call again when it has
    errSSLClosedGraceful = -2,     // the peer ended the session with a close alert
    errSSLClosedAbort = -3,        // the connection ended (or failed) without a close alert
    errSSLPeerAuthCompleted = -4,  // manual evaluation: the peer's certificates are in
    errSSLPeerBadCert = -5,        // the owner refused the peer's certificate
    errSSLProtocol = -6,           // the handshake or a record failed; the reason says how
    errSSLCertExpired = -7,
    errSSLCertNotYetValid = -8,
    errSSLHostNameMismatch = -9,  // the certificate is not valid for the peer name
    errSSLUnknownRootCert = -10,  // the chain ends at an authority that is not trusted
    errSSLBadCert = -11,          // any other failure of certificate verification
};

namespace tcpsocket {

// The socket's error for a TLS status; `reason` (the engine's own words) becomes the failure
// reason.
Error tlsError(TlsStatus status, std::string reason = {});

}  // namespace tcpsocket
}  // namespace vm
