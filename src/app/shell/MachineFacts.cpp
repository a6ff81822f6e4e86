#include "app/shell/MachineFacts.h"

#include "platform/core/Log.h"

#include <arpa/inet.h>
#include <fmt/format.h>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <sys/utsname.h>

#include <set>
#include <string_view>
#include <vector>

namespace vm {

namespace {

bool isEthernetLink(const ifaddrs& entry) {
    if (!entry.ifa_addr || entry.ifa_addr->sa_family != AF_PACKET ||
        (entry.ifa_flags & IFF_LOOPBACK)) {
        return false;
    }
    const auto* link = reinterpret_cast<const sockaddr_ll*>(entry.ifa_addr);
    return link->sll_hatype == ARPHRD_ETHER && link->sll_halen == 6;
}

}  // namespace

NetworkFacts readNetworkFacts() {
    NetworkFacts facts;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) {
        facts.macAddress = "getMacAddress:getifaddrs failure";
        facts.macFailed = true;
        return facts;
    }
    // Interfaces in the system's order; the first Ethernet-like one gives the hardware address.
    std::set<std::string> ethernet;
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!isEthernetLink(*entry)) {
            continue;
        }
        ethernet.insert(entry->ifa_name);
        if (facts.macAddress.empty()) {
            const auto* link = reinterpret_cast<const sockaddr_ll*>(entry->ifa_addr);
            const unsigned char* a = link->sll_addr;
            facts.macAddress = fmt::format("{:02X}:{:02X}:{:02X}:{:02X}:{:02X}:{:02X}", a[0], a[1],
                                           a[2], a[3], a[4], a[5]);
        }
    }
    if (facts.macAddress.empty()) {
        facts.macAddress = "getMacAddress:if_nametoindex failure";
        facts.macFailed = true;
    }
    for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET ||
            !ethernet.count(entry->ifa_name)) {
            continue;
        }
        char text[INET_ADDRSTRLEN] = {};
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        if (!::inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) {
            continue;
        }
        if (std::string_view(text).starts_with("169.254.")) {
            log("getIPAddress:APIPA:[{}] [{}]", entry->ifa_name, text);
        }
        if (facts.myIp.empty()) {
            facts.myIp = text;
        }
    }
    ::freeifaddrs(list);
    return facts;
}

std::string processorFamily() {
    utsname name{};
    if (::uname(&name) != 0) {
        return "?:";
    }
    const std::string_view machine(name.machine);
    if (machine == "x86_64" ||
        (machine.size() == 4 && machine[0] == 'i' && machine.ends_with("86"))) {
        return "x86";
    }
    if (machine.starts_with("arm") || machine.starts_with("aarch64")) {
        return "ARM";
    }
    return "?:" + std::string(machine);
}

}  // namespace vm
