#include "localaudio/AudioDevice.h"

#include "platform/audio/AudioTestSupport.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using test::makeDevice;

class AudioDeviceTest : public ::testing::Test {
protected:
    test::TestBackendScope scope;
};

TEST_F(AudioDeviceTest, ListsDevicesBySide) {
    scope.backend->setDevices({makeDevice(1, 2, 2), makeDevice(2, 0, 8), makeDevice(3, 1, 0)}, 3,
                              2);
    const auto all = AudioDevice::devices();
    ASSERT_EQ(3u, all.size());
    EXPECT_EQ("Device 1", all[0].name());
    EXPECT_EQ("Test", all[0].manufacturer());
    EXPECT_EQ("test:1", all[0].uid());
    EXPECT_EQ(8, all[1].outputChannelCount());
    EXPECT_EQ(0, all[1].inputChannelCount());  // a side with no streams

    auto ids = [](const std::vector<AudioDevice>& devices) {
        std::vector<AudioDeviceID> out;
        for (const auto& d : devices) {
            out.push_back(d.deviceID());
        }
        return out;
    };
    EXPECT_EQ((std::vector<AudioDeviceID>{1, 3}), ids(AudioDevice::inputDevices()));
    EXPECT_EQ((std::vector<AudioDeviceID>{1, 2}), ids(AudioDevice::outputDevices()));
    EXPECT_EQ(3u, AudioDevice::currentInputDevice().deviceID());
    EXPECT_EQ(2u, AudioDevice::currentOutputDevice().deviceID());

    int calls = 0;
    AudioDevice::enumerateDevicesUsingBlock([&](const AudioDevice&, bool* stop) {
        ++calls;
        *stop = true;
    });
    EXPECT_EQ(1, calls);
    AudioDevice::enumerateDevicesUsingBlock(nullptr);
}

TEST_F(AudioDeviceTest, EqualityIsByUID) {
    scope.backend->setDevices({makeDevice(1, 2, 2, 48000, "usb-codec")}, 1, 1);
    const AudioDevice before = AudioDevice::currentOutputDevice();
    auto renamed = makeDevice(9, 2, 2, 48000, "usb-codec");
    renamed.name = "Renamed";
    scope.backend->setDevices({renamed}, 9, 9);
    const AudioDevice after = AudioDevice::currentOutputDevice();
    EXPECT_NE(before.name(), after.name());
    EXPECT_EQ(before, after);
    EXPECT_NE(std::string::npos,
              after.description().find("{ deviceID: 9, manufacturer: Test, name: Renamed, UID: "
                                       "usb-codec, inputChannelCount: 2, outputChannelCount: 2 }"));
}

TEST_F(AudioDeviceTest, NoSoundHardwareMeansEmptyListsAndNoDefaultWithoutErrors) {
    test::LogCapture log;
    EXPECT_TRUE(AudioDevice::devices().empty());
    EXPECT_TRUE(AudioDevice::inputDevices().empty());
    const AudioDevice output = AudioDevice::currentOutputDevice();
    EXPECT_EQ(kAudioObjectUnknown, output.deviceID());
    EXPECT_EQ(0, output.outputChannelCount());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(AudioDeviceTest, UnknownDeviceReportsEachFailedRead) {
    test::LogCapture log;
    EXPECT_EQ("", AudioDevice::namePropertyForDeviceID(42));
    EXPECT_EQ(0, AudioDevice::channelCountForScope(AudioDirection::Input, 42));
    EXPECT_TRUE(log.contains("Error: Failed to get device property (1819173229) ('!dev')"));
    EXPECT_TRUE(log.contains("Error: Failed to get frame size ('!dev')"));
}

}  // namespace
}  // namespace vm
