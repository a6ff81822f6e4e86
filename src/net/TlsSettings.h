#pragma once
// The settings of a TLS upgrade (TcpSocket::startTLS): a dictionary whose keys are the names
// below, each optional. A key present with a value of the wrong kind is refused when the
// handshake starts, and the socket closes.
#include "platform/core/Bytes.h"
#include "platform/core/PlistValue.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

using TlsSettings = PlistDict;

// Boolean: this end is the server.
inline constexpr const char* kCFStreamSSLIsServer = "kCFStreamSSLIsServer";
// Boolean: the handshake stops once the server's certificates are in and the delegate decides
// whether to trust them (client only).
inline constexpr const char* kTcpSocketManuallyEvaluateTrust = "TcpSocketManuallyEvaluateTrust";
// Text: the name the server's certificate must be valid for (a host name or an address).
inline constexpr const char* kCFStreamSSLPeerName = "kCFStreamSSLPeerName";
// Array of data: first the identity (PEM holding a certificate and its private key), then any
// certificates of its chain (PEM or DER).
inline constexpr const char* kCFStreamSSLCertificates = "kCFStreamSSLCertificates";
// Data: sessions made under the same peer ID are resumed (client side).
inline constexpr const char* kTcpSocketSSLPeerID = "TcpSocketSSLPeerID";
// Numbers: protocol versions as TLS records carry them (kTlsProtocol12...); 0 keeps the default.
inline constexpr const char* kTcpSocketSSLProtocolVersionMin = "TcpSocketSSLProtocolVersionMin";
inline constexpr const char* kTcpSocketSSLProtocolVersionMax = "TcpSocketSSLProtocolVersionMax";
// Booleans (numbers).
inline constexpr const char* kTcpSocketSSLSessionOptionFalseStart =
    "TcpSocketSSLSessionOptionFalseStart";
inline constexpr const char* kTcpSocketSSLSessionOptionSendOneByteRecord =
    "TcpSocketSSLSessionOptionSendOneByteRecord";
// Array of numbers: the cipher suites to enable, by their registered 16-bit numbers.
inline constexpr const char* kTcpSocketSSLCipherSuites = "TcpSocketSSLCipherSuites";
// Data: Diffie-Hellman parameters (PEM or DER) for a server.
inline constexpr const char* kTcpSocketSSLDiffieHellmanParameters =
    "TcpSocketSSLDiffieHellmanParameters";
// Array of texts: application protocols to offer (client) or accept (server), in preference order.
inline constexpr const char* kTcpSocketSSLALPN = "TcpSocketSSLALPN";
// Always refused, whatever their value.
inline constexpr const char* kCFStreamSSLAllowsAnyRoot = "kCFStreamSSLAllowsAnyRoot";
inline constexpr const char* kCFStreamSSLAllowsExpiredRoots = "kCFStreamSSLAllowsExpiredRoots";
inline constexpr const char* kCFStreamSSLValidatesCertificateChain =
    "kCFStreamSSLValidatesCertificateChain";
inline constexpr const char* kCFStreamSSLAllowsExpiredCertificates =
    "kCFStreamSSLAllowsExpiredCertificates";
inline constexpr const char* kCFStreamSSLLevel = "kCFStreamSSLLevel";

inline constexpr std::int64_t kTlsProtocol1 = 0x0301;
inline constexpr std::int64_t kTlsProtocol11 = 0x0302;
inline constexpr std::int64_t kTlsProtocol12 = 0x0303;
inline constexpr std::int64_t kTlsProtocol13 = 0x0304;

// One setting read as one kind of value.
template <class T>
struct TlsSetting {
    bool present = false;    // the key is in the settings
    std::optional<T> value;  // its value, when it is of the kind asked for

    bool invalid() const { return present && !value; }
};

namespace tlssettings {

// A boolean or an integer (non-zero is true).
TlsSetting<bool> boolean(const TlsSettings& settings, const char* key);
// An integer, or a real without a fraction.
TlsSetting<std::int64_t> number(const TlsSettings& settings, const char* key);
TlsSetting<std::string> text(const TlsSettings& settings, const char* key);
TlsSetting<Bytes> data(const TlsSettings& settings, const char* key);
TlsSetting<std::vector<Bytes>> dataArray(const TlsSettings& settings, const char* key);
TlsSetting<std::vector<std::string>> textArray(const TlsSettings& settings, const char* key);
// Numbers from 0 to 2^32 - 1.
TlsSetting<std::vector<std::uint32_t>> numberArray(const TlsSettings& settings, const char* key);

}  // namespace tlssettings
}  // namespace vm
