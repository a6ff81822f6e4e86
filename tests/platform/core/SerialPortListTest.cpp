// Which devices the serial-port list offers, and which udev reports the monitor turns into
// arrivals and removals.
#include "platform/core/SerialPortList.h"
#include "platform/core/SerialPortMonitor.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vm {
namespace {

namespace fs = std::filesystem;

TEST(SerialPortListTest, ByIdLinksFirstThenUnlinkedUsbDevicesInNaturalOrder) {
    const fs::path dev = fs::path(std::getenv("HOME")) / "dev";
    fs::create_directories(dev / "serial" / "by-id");
    for (const char* name :
         {"ttyUSB10", "ttyUSB2", "ttyUSB0", "ttyACM0", "ttyS0", "ttyUSB", "ttyUSBx", "tty"}) {
        std::ofstream(dev / name).put('\0');
    }
    fs::create_directory(dev / "ttyUSB3");  // not a device
    fs::create_symlink("../../ttyUSB10",
                       dev / "serial" / "by-id" / "usb-Maker_Knob_0042-if00-port0");
    fs::create_symlink("../../ttyUSB7", dev / "serial" / "by-id" / "usb-Gone_Device-if00");

    const std::vector<std::string> expected = {
        (dev / "serial" / "by-id" / "usb-Maker_Knob_0042-if00-port0").string(),
        (dev / "ttyACM0").string(), (dev / "ttyUSB0").string(), (dev / "ttyUSB2").string()};
    EXPECT_EQ(listSerialPorts(dev), expected);
    EXPECT_TRUE(listSerialPorts(dev / "absent").empty());
}

TEST(SerialPortListTest, UdevReportsOfUsbSerialDevicesBecomeArrivalsAndRemovals) {
    using Event = SerialPortMonitor::Event;
    using Change = SerialPortMonitor::Change;
    struct Case {
        const char* action;
        const char* node;
        std::optional<Event> expected;
    };
    const Case cases[] = {
        {"add", "/dev/ttyUSB0", Event{Change::Added, "/dev/ttyUSB0"}},
        {"remove", "/dev/ttyACM3", Event{Change::Removed, "/dev/ttyACM3"}},
        {"change", "/dev/ttyUSB0", std::nullopt},
        {"bind", "/dev/ttyUSB0", std::nullopt},
        {"add", "/dev/ttyS0", std::nullopt},
        {"add", nullptr, std::nullopt},  // a tty without a device node
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SerialPortMonitor::eventOf(c.action, c.node), c.expected)
            << c.action << " " << (c.node ? c.node : "(none)");
    }
}

TEST(SerialPortListTest, WithoutUdevTheMonitorSaysSoOnce) {
    test::LogCapture log;
    auto first =
        SerialPortMonitor::start(DispatchQueue::main(), [](const SerialPortMonitor::Event&) {});
    auto second =
        SerialPortMonitor::start(DispatchQueue::main(), [](const SerialPortMonitor::Event&) {});
    if (first) {
        GTEST_SKIP() << "udev runs here: its monitor started";
    }
    EXPECT_FALSE(second);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0],
              "SerialPortMonitor:start: udev does not run here; serial ports are not watched for "
              "arrival and removal");
}

}  // namespace
}  // namespace vm
