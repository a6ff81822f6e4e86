#include "net/SocketAddress.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <cstring>

namespace vm {
namespace {

SocketAddress v4(const char* host, std::uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    inet_pton(AF_INET, host, &a.sin_addr);
    return SocketAddress(reinterpret_cast<const char*>(&a), sizeof a);
}

TEST(SocketAddress, HostPortAndFamilyOfBothFamilies) {
    const auto address = v4("127.0.0.1", 4992);
    EXPECT_EQ(static_cast<unsigned char>(address[2]), 0x13);  // the port in network byte order
    EXPECT_EQ(static_cast<unsigned char>(address[3]), 0x80);
    std::string host;
    std::uint16_t port = 0;
    int family = 0;
    ASSERT_TRUE(sockaddr::getHost(&host, &port, &family, address));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 4992);
    EXPECT_EQ(family, AF_INET);
    EXPECT_TRUE(sockaddr::isIPv4Address(address));

    SocketAddress a4;
    SocketAddress a6;
    sockaddr::convertNumericHost("::1", 4991, &a4, &a6);
    EXPECT_TRUE(a4.empty());
    ASSERT_EQ(a6.size(), sizeof(sockaddr_in6));
    EXPECT_EQ(sockaddr::hostFromAddress(a6), "::1");
    EXPECT_EQ(sockaddr::portFromAddress(a6), 4991);
    EXPECT_TRUE(sockaddr::isIPv6Address(a6));
}

TEST(SocketAddress, ShortOrForeignBlocksGiveNothing) {
    // 16 bytes whose family says IPv6: too short to be one.
    SocketAddress shortV6 = v4("10.0.0.1", 1);
    shortV6[0] = AF_INET6 & 0xFF;
    shortV6[1] = AF_INET6 >> 8;
    std::string host = "stale";
    std::uint16_t port = 9;
    int family = 9;
    EXPECT_FALSE(sockaddr::getHost(&host, &port, &family, shortV6));
    EXPECT_EQ(host, "");
    EXPECT_EQ(port, 0);
    EXPECT_EQ(family, 0);
    EXPECT_FALSE(sockaddr::isIPv6Address(shortV6));
    EXPECT_FALSE(sockaddr::hostFromAddress(SocketAddress("abc")).has_value());
    EXPECT_EQ(sockaddr::portFromAddress(SocketAddress()), 0);
}

TEST(SocketAddress, LocalhostNeedsNoLookupAndBadNamesFail) {
    Error error{"x", 1, "x"};
    auto addresses = sockaddr::lookupHost("localhost", 80, &error);
    ASSERT_TRUE(addresses.has_value());
    ASSERT_EQ(addresses->size(), 2u);
    EXPECT_EQ(sockaddr::hostFromAddress((*addresses)[0]), "127.0.0.1");
    EXPECT_EQ(sockaddr::hostFromAddress((*addresses)[1]), "::1");
    EXPECT_EQ(sockaddr::portFromAddress((*addresses)[1]), 80);

    auto numeric = sockaddr::lookupHost("127.0.0.2", 4992, &error);
    ASSERT_TRUE(numeric.has_value());
    EXPECT_EQ(sockaddr::hostFromAddress(numeric->front()), "127.0.0.2");

    EXPECT_FALSE(sockaddr::lookupHost("no-such-radio.invalid", 4992, &error).has_value());
    EXPECT_EQ(error.domain, "kCFStreamErrorDomainNetDB");
    EXPECT_NE(error.code, 0);

    SocketAddress a4 = "x";
    SocketAddress a6 = "y";
    sockaddr::convertNumericHost("not-numeric", 1, &a4, &a6);  // never looked up
    EXPECT_TRUE(a4.empty());
    EXPECT_TRUE(a6.empty());
}

TEST(SocketAddress, TerminatorsAndUnixPaths) {
    EXPECT_EQ(sockaddr::LFData(), Bytes("\n"));
    EXPECT_EQ(sockaddr::CRLFData(), Bytes("\r\n"));
    EXPECT_EQ(sockaddr::ZeroData().size(), 1u);
    sockaddr_un un{};
    un.sun_family = AF_UNIX;
    std::strcpy(un.sun_path, "/tmp/radio.sock");
    EXPECT_EQ(sockaddr::urlFromSockaddrUN(&un), "file:///tmp/radio.sock");
}

}  // namespace
}  // namespace vm
