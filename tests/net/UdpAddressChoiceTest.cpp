// Choosing one destination from the addresses a host name resolved to.
#include "UdpTestSupport.h"
#include "net/UdpAddressChoice.h"

namespace vm::test {
namespace {

TEST(UdpAddressChoice, FamilyRulesPickOrRefuse) {
    const SocketAddress v4 = loopback4(4991);
    const SocketAddress v6 = loopback6(4991);
    struct Case {
        const char* name;
        UdpFamilyRules rules;
        std::vector<SocketAddress> addresses;
        SocketAddress expected;  // empty: an error
        const char* error;
    } cases[] = {
        {"neutral takes the first", {}, {v6, v4}, v6, ""},
        {"neutral takes the first (IPv4)", {}, {v4, v6}, v4, ""},
        {"prefer IPv4 over an earlier IPv6", {.preferIPv4 = true}, {v6, v4}, v4, ""},
        {"prefer IPv6 over an earlier IPv4", {.preferIPv6 = true}, {v4, v6}, v6, ""},
        {"preference without that family", {.preferIPv6 = true}, {v4}, v4, ""},
        {"a disabled family never wins", {.ipv6Disabled = true}, {v6, v4}, v4, ""},
        {"a deactivated family never wins",
         {.ipv4Deactivated = true, .preferIPv4 = true},
         {v4, v6},
         v6,
         ""},
        {"IPv4 disabled, only IPv4",
         {.ipv4Disabled = true},
         {v4},
         {},
         "IPv4 has been disabled and DNS lookup found no IPv6 address(es)."},
        {"IPv6 disabled, only IPv6",
         {.ipv6Disabled = true},
         {v6},
         {},
         "IPv6 has been disabled and DNS lookup found no IPv4 address(es)."},
        {"IPv4 deactivated, only IPv4",
         {.ipv4Deactivated = true},
         {v4},
         {},
         "IPv4 has been deactivated due to bind/connect, and DNS lookup found no IPv6 "
         "address(es)."},
        {"IPv6 deactivated, only IPv6",
         {.ipv6Deactivated = true},
         {v6},
         {},
         "IPv6 has been deactivated due to bind/connect, and DNS lookup found no IPv4 "
         "address(es)."},
        {"nothing usable", {}, {"short"}, {}, "A valid IPv4 or IPv6 address was not given"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto choice = chooseUdpAddress(c.rules, c.addresses);
        EXPECT_EQ(choice.address, c.expected);
        if (c.expected.empty()) {
            ASSERT_TRUE(choice.error.has_value());
            EXPECT_EQ(choice.error->description, c.error);
            EXPECT_EQ(choice.family, 0);
        } else {
            EXPECT_FALSE(choice.error.has_value());
            EXPECT_EQ(choice.family, sockaddr::familyFromAddress(c.expected));
        }
    }
}

}  // namespace
}  // namespace vm::test
