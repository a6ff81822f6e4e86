// A pseudo-terminal opened as a serial port: the settings the knob needs, bytes both ways through
// the reader thread, the end of the stream, and the log lines of opening, draining and closing.
#include "platform/core/SerialPort.h"
#include "support/LogCapture.h"
#include "support/PseudoTerminal.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace vm {
namespace {

using test::PseudoTerminal;

TEST(SerialPortTest, APseudoTerminalOpensRawAt9600AndExclusive) {
    PseudoTerminal line;
    ASSERT_FALSE(line.path().empty());
    test::LogCapture log;
    auto port =
        SerialPort::open(line.path(), {.baud = 9600, .debug = true, .pseudoTerminal = true});
    ASSERT_TRUE(port);
    termios settings{};
    ASSERT_EQ(::tcgetattr(port->fd(), &settings), 0);
    EXPECT_EQ(::cfgetispeed(&settings), B9600);
    EXPECT_EQ(::cfgetospeed(&settings), B9600);
    EXPECT_EQ(settings.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_TRUE(settings.c_cflag & CLOCAL);
    EXPECT_TRUE(settings.c_cflag & CREAD);
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(settings.c_cc[VMIN], 1);
    EXPECT_EQ(settings.c_cc[VTIME], 0);
    int exclusive = 0;
    ASSERT_EQ(::ioctl(port->fd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    EXPECT_TRUE(::fcntl(port->fd(), F_GETFL) & O_NONBLOCK);

    const auto fd = std::to_string(port->fd());
    const auto fd2 = (fd.size() < 2 ? "0" : "") + fd;
    EXPECT_TRUE(log.contains("openSerialPort:try to open:[" + line.path() +
                             "] baud:[9600] exclusive:[YES] blocking:[NO] pseudoTerminal:[YES]"));
    EXPECT_TRUE(log.contains("openSerialPort: Opened:[" + line.path() + "] with fd:[" + fd2 + "]"));
    EXPECT_TRUE(log.contains("configureSerialPort:fd:[" + fd2 +
                             "] baud 9600  parity N  databits 8  stopbits 1  flow N"));
    EXPECT_TRUE(log.contains("configureSerialPort:Port Configured:[" + fd2 +
                             "] input baud:[9600] output baud:[9600]"));
}

TEST(SerialPortTest, BytesTravelBothWaysThroughTheReaderThread) {
    PseudoTerminal line;
    auto port = SerialPort::open(line.path(), {.baud = 9600});
    ASSERT_TRUE(port);
    std::string received;
    int ends = 0, endError = -1;
    bool onMain = true;
    ASSERT_TRUE(port->startReading(
        DispatchQueue::main(),
        [&](const Bytes& bytes) {
            onMain = onMain && isMainThread();
            received += bytes;
        },
        [&](int error) {
            ++ends;
            endError = error;
        }));
    EXPECT_FALSE(port->startReading(DispatchQueue::main(), nullptr, nullptr));  // one reader

    line.send("U;D04;X2S;");
    EXPECT_TRUE(runMainUntil([&] { return received == "U;D04;X2S;"; })) << received;
    EXPECT_TRUE(onMain);

    ASSERT_TRUE(port->write("I111;"));
    ASSERT_TRUE(
        port->write(std::string(3000, 'x')));  // more than one write of the line holds at once
    EXPECT_EQ(line.receive(5), "I111;");
    EXPECT_EQ(line.receive(3000).size(), 3000u);

    line.closeMaster();  // the device goes away: the line hangs up, which reads as the end
    EXPECT_TRUE(runMainUntil([&] { return ends == 1; }));
    EXPECT_EQ(endError, 0);
    DispatchQueue::drainMain();  // anything queued after the end has run
    EXPECT_EQ(ends, 1);
}

TEST(SerialPortTest, NothingIsHandedOnAfterReadingStops) {
    PseudoTerminal line;
    auto port = SerialPort::open(line.path(), {.baud = 9600});
    ASSERT_TRUE(port);
    auto queue = DispatchQueue::serial("serial-test");
    int deliveries = 0;
    ASSERT_TRUE(port->startReading(
        queue, [&](const Bytes&) { ++deliveries; }, [&](int) { ++deliveries; }));
    queue->sync([&] {
        line.send("S;");  // read and queued behind this task (when the reader gets there first)...
        port->stopReading();  // ...and dropped once it runs
    });
    queue->sync([] {});  // barrier: whatever was queued has run
    EXPECT_EQ(deliveries, 0);
    // With the reader gone, what arrives waits for a direct read.
    line.send("U;");
    std::string rest;
    pollfd input{port->fd(), POLLIN, 0};
    while (rest.find("U;") == std::string::npos && ::poll(&input, 1, 5000) == 1) {
        rest += port->readAvailable(128);
    }
    EXPECT_TRUE(rest == "U;" || rest == "S;U;") << rest;
}

TEST(SerialPortTest, DrainAndCloseLogTheirSteps) {
    PseudoTerminal line;
    auto port = SerialPort::open(line.path(), {.baud = 9600});
    ASSERT_TRUE(port);
    ASSERT_TRUE(port->startReading(
        DispatchQueue::main(), [](const Bytes&) {}, [](int) {}));
    const int fd = port->fd();
    test::LogCapture log;
    ASSERT_TRUE(port->write("I000;"));
    EXPECT_TRUE(port->drain("DoroControl", true));
    EXPECT_TRUE(port->close("DoroControl"));
    EXPECT_FALSE(port->reading());
    EXPECT_FALSE(port->drain("DoroControl", false));
    EXPECT_FALSE(port->close("DoroControl"));
    EXPECT_TRUE(log.contains("Draining Serial Port " + std::to_string(fd)));
    EXPECT_TRUE(log.contains("Drained Serial Port " + std::to_string(fd) + ", Elapsed "));
    EXPECT_TRUE(
        log.contains("closeSerialPort: DoroControl on fd " + std::to_string(fd) + " closed."));
    EXPECT_TRUE(log.contains(
        "closeSerialPort: error draining DoroControl on fd -1, 9 - Bad file descriptor"));
    EXPECT_TRUE(log.contains(
        "closeSerialPort: error closing DoroControl on fd -1, 9 - Bad file descriptor"));
}

TEST(SerialPortTest, APortThatCannotBeOpenedIsLoggedAndGivesNothing) {
    PseudoTerminal line;
    test::LogCapture log;
    EXPECT_FALSE(SerialPort::open("/dev/ttyUSB-absent", {.baud = 9600}));
    EXPECT_TRUE(
        log.contains("openSerialPort: Couldn't Open Port:[/dev/ttyUSB-absent], Error:[2 - No such "
                     "file or directory]"));
    Error error;
    EXPECT_FALSE(SerialPort::open(line.path(), {.baud = 9601}, &error));
    EXPECT_EQ(error.code, EINVAL);
}

}  // namespace
}  // namespace vm
