#pragma once
// Socket addresses as byte blocks holding Linux's sockaddr_in (16 bytes) or sockaddr_in6 (28
// bytes), and the conversions both socket classes share: host text, port and family of an
// address, name lookup for TCP connects, numeric conversion for UDP, and the line terminators.
#include "platform/core/Bytes.h"
#include "platform/core/Error.h"

#include <netinet/in.h>
#include <sys/un.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vm {

using SocketAddress = Bytes;

namespace sockaddr {

std::string hostFromSockaddr4(const sockaddr_in* address);
std::string hostFromSockaddr6(const sockaddr_in6* address);
std::uint16_t portFromSockaddr4(const sockaddr_in* address);
std::uint16_t portFromSockaddr6(const sockaddr_in6* address);

// True for a whole IPv4 (16 bytes) or IPv6 (28 bytes) address; the outs get host, port and family.
// Otherwise false with an empty host, port 0 and family 0. Any out may be null.
bool getHost(std::string* host, std::uint16_t* port, int* family, const SocketAddress& address);
std::optional<std::string> hostFromAddress(const SocketAddress& address);
std::uint16_t portFromAddress(const SocketAddress& address);
int familyFromAddress(const SocketAddress& address);  // AF_INET, AF_INET6 or 0
bool isIPv4Address(const SocketAddress& address);
bool isIPv6Address(const SocketAddress& address);
// "file://" and the path of a Unix-domain socket address.
std::string urlFromSockaddrUN(const sockaddr_un* address);

// getaddrinfo's error as an Error in "kCFStreamErrorDomainNetDB".
Error gaiError(int code);

// The addresses of a host for a TCP connect, IPv4 and IPv6 in the order the resolver gave them;
// "localhost" and "loopback" give 127.0.0.1 then ::1 without asking the resolver. nullopt with
// the error when the lookup fails or finds nothing.
std::optional<std::vector<SocketAddress>> lookupHost(const std::string& host, std::uint16_t port,
                                                     Error* error = nullptr);

// The first IPv4 and first IPv6 address of a numeric host (no name is looked up); either out is
// left empty when there is none.
void convertNumericHost(const std::string& host, std::uint16_t port, SocketAddress* address4,
                        SocketAddress* address6);

// Read terminators.
inline Bytes CRLFData() { return Bytes("\r\n"); }
inline Bytes CRData() { return Bytes("\r"); }
inline Bytes LFData() { return Bytes("\n"); }
inline Bytes ZeroData() { return Bytes(1, '\0'); }

}  // namespace sockaddr
}  // namespace vm
