// The address and TLS port a DoroLink radio's session is opened at.
#include "app/control/RemoteEndpoint.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

struct EndpointCase {
    const char* name;
    RadioInstance::Text publicIp;
    std::optional<bool> upnp;
    RadioInstance::Text upnpPort, forwardedPort;
    std::optional<RemoteEndpoint> expected;
};

void PrintTo(const EndpointCase& c, std::ostream* os) { *os << c.name; }

class RemoteRadioEndpoint : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(RemoteRadioEndpoint, TakesThePortOfTheRadiosPortMode) {
    const EndpointCase& c = GetParam();
    RadioInstance radio;
    radio.publicIp = c.publicIp;
    radio.upnpSupported = c.upnp;
    radio.public_upnp_tls_port = c.upnpPort;
    radio.public_tls_port = c.forwardedPort;
    EXPECT_EQ(remoteRadioEndpoint(radio), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Records, RemoteRadioEndpoint,
    ::testing::Values(EndpointCase{"Upnp", "203.0.113.9", true, "21000", "4994",
                                   RemoteEndpoint{"203.0.113.9", 21000}},
                      EndpointCase{"Forwarded", "203.0.113.9", false, "21000", "4994",
                                   RemoteEndpoint{"203.0.113.9", 4994}},
                      EndpointCase{"NoUpnpFlag", "203.0.113.9", std::nullopt, "21000", "4994",
                                   RemoteEndpoint{"203.0.113.9", 4994}},
                      EndpointCase{"NoAddress", std::nullopt, false, {}, "4994", std::nullopt},
                      EndpointCase{"NoPort", "203.0.113.9", true, {}, "4994", std::nullopt},
                      EndpointCase{"PortZero", "203.0.113.9", false, {}, "0", std::nullopt},
                      EndpointCase{
                          "PortBeyondRange", "203.0.113.9", false, {}, "70000", std::nullopt},
                      EndpointCase{"HighestPort",
                                   "203.0.113.9",
                                   false,
                                   {},
                                   "65535",
                                   RemoteEndpoint{"203.0.113.9", 65535}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace vm
