// The remote-audio engine's diagnostics on the test sound system: the device listing, the refused
// default output device, and the input level of a buffer.
#include "audio/VMRemoteAudioHandler.h"
#include "support/LogCapture.h"

#include "../platform/audio/AudioTestSupport.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

TEST(RemoteAudioDiagnostics, TheDeviceListingLogsEveryDeviceWithItsChannels) {
    test::TestBackendScope scope;
    scope.backend->setDevices({test::makeDevice(1, 0, 2), test::makeDevice(2, 1, 0)}, 2, 1);
    test::LogCapture log;
    VMRemoteAudioHandler::updateAudioDeviceList();
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{"updateAudioDeviceList:theNumberOutputChannels: [2] "
                                        "theNumberInputChannels:[0] device Name:[Device 1]",
                                        "updateAudioDeviceList:theNumberOutputChannels: [0] "
                                        "theNumberInputChannels:[1] device Name:[Device 2]"}));
}

TEST(RemoteAudioDiagnostics, TheDefaultOutputDeviceIsNotChangedHere) {
    test::TestBackendScope scope;
    scope.backend->setDevices({test::makeDevice(1, 0, 2), test::makeDevice(3, 0, 2)}, 0, 1);
    test::LogCapture log;
    EXPECT_EQ(VMRemoteAudioHandler::setDefaultAudioDevice(3),
              kAudioHardwareUnsupportedOperationError);
    EXPECT_EQ(scope.backend->defaultDevice(AudioDirection::Output), 1u);
    EXPECT_EQ(
        log.lines(),
        std::vector<std::string>{
            "Error in AudioObjectSetPropertyData: kAudioHardwarePropertyDefaultOutputDevice: " +
            std::to_string(kAudioHardwareUnsupportedOperationError)});
}

TEST(RemoteAudioDiagnostics, InputLevelOfEverySecondSample) {
    struct Case {
        const char* name;
        std::vector<float> samples;
        const char* line;
    };
    const Case cases[] = {
        {"HalfScaleLeftChannel", {0.5f, 0.9f, -0.5f, 0.9f}, "Input buffer level = -6.020600"},
        {"FullScale", {1.0f, 0.0f, -1.0f, 0.0f}, "Input buffer level = 0.000000"},
        {"Silence", {0.0f, 0.7f, 0.0f, 0.7f}, "Input buffer level = -300.000000"},
        {"NoSamples", {}, "Input buffer level = -300.000000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::OwnedBufferList list(1, std::uint32_t(c.samples.size() * sizeof(float)), 2);
        std::copy(c.samples.begin(), c.samples.end(), list.samples<float>(0));
        test::LogCapture log;
        VMRemoteAudioHandler::checkInputLevel(list.list());
        EXPECT_EQ(log.lines(), std::vector<std::string>{c.line});
    }
    test::LogCapture log;
    VMRemoteAudioHandler::checkInputLevel(nullptr);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Input buffer level = -300.000000"});
}

}  // namespace
}  // namespace vm
