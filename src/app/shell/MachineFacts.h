#pragma once
// What the debug log records about the machine at start-up: the hardware address and the IPv4
// address of the first Ethernet-like interface (wired or wireless, not loopback), and the
// processor family.
#include <string>

namespace vm {

struct NetworkFacts {
    std::string macAddress;  // "%02X:%02X:...", or the failure text when it cannot be read
    std::string myIp;        // "" when no Ethernet-like interface has an IPv4 address
    bool macFailed = false;
};

// Logs "getIPAddress:APIPA:[<interface>] [<address>]" for every link-local IPv4 address seen on
// those interfaces.
NetworkFacts readNetworkFacts();

// "x86", "ARM" or "?:<machine>" for the running processor.
std::string processorFamily();

}  // namespace vm
