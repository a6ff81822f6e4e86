// The status types of the radio's records, equalizers and spots reach their readers on a session
// with the radio's objects attached: none is logged as an unknown type.
#include "support/LogCapture.h"
#include "support/QueueBarrier.h"

#include "ObjectsTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(StatusRoutes, RecordAndEqualizerTypesReachTheirReaders) {
    const auto radio = test::detachedRadio();
    radio->radioRunQueue()->sync([&] { radio->parseRadioStream("H2DE0B1A5"); });
    const char* lines[] = {
        "S2DE0B1A5|eq rxsc mode=1 63Hz=0",
        "S2DE0B1A5|eq tx mode=0 63Hz=10",
        "S2DE0B1A5|client 0x2DE0B1A5 connected station=Shack",
        "S2DE0B1A5|xvtr 0 name=2m rf_freq=144.0",
        "S2DE0B1A5|tnf 1 freq=14.1 depth=1 width=0.0001 permanent=0",
        "S2DE0B1A5|usb_cable 0x11 type=cat",
        "S2DE0B1A5|memory 3 owner=K1ABC freq=7.074",
        "S2DE0B1A5|spot 4 callsign=K1ABC rx_freq=14.025 mode=CW",
        "S2DE0B1A5|spot 4 removed",
    };
    test::LogCapture capture;
    for (const char* line : lines) {
        radio->radioRunQueue()->sync([&] { radio->parseRadioStream(line); });
    }
    test::queueBarrier(radio->radioRunQueue());
    EXPECT_FALSE(capture.contains("parseStatusType")) << "a type was not routed";
    EXPECT_FALSE(capture.contains("Unrecognized")) << "a key was not read";
}

}  // namespace
}  // namespace vm
