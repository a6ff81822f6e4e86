#pragma once
// Interface descriptions for binding and multicast: none (any address), "localhost"/"loopback",
// an interface name such as "eth0", or one of the machine's addresses written as text.
#include "net/SocketAddress.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vm::netif {

// The IPv4 and IPv6 address the description stands for, each with `port`; either is left empty
// when the description has none of that family (or the interface list cannot be read).
void convertInterfaceDescription(const std::optional<std::string>& interface, std::uint16_t port,
                                 SocketAddress* address4, SocketAddress* address6);

// The index of the interface that carries exactly this address; 0 when none does or the block is
// not a whole address of its family.
unsigned indexOfInterfaceAddr4(const SocketAddress& address);
unsigned indexOfInterfaceAddr6(const SocketAddress& address);

}  // namespace vm::netif
