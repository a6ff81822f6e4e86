#include "platform/core/SerialPort.h"

#include "platform/core/DispatchClock.h"
#include "platform/core/Log.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

namespace vm {

namespace {

constexpr std::array<std::pair<int, speed_t>, 11> kSpeeds{{{1200, B1200},
                                                           {2400, B2400},
                                                           {4800, B4800},
                                                           {9600, B9600},
                                                           {19200, B19200},
                                                           {38400, B38400},
                                                           {57600, B57600},
                                                           {115200, B115200},
                                                           {230400, B230400},
                                                           {460800, B460800},
                                                           {921600, B921600}}};

std::optional<speed_t> speedOf(int baud) {
    for (const auto& [rate, speed] : kSpeeds) {
        if (rate == baud) {
            return speed;
        }
    }
    return std::nullopt;
}

int baudOf(speed_t speed) {
    for (const auto& [rate, s] : kSpeeds) {
        if (s == speed) {
            return rate;
        }
    }
    return 0;
}

Error serialError(int code, const std::string& what) {
    return Error{"NSPOSIXErrorDomain", code, what + ": " + std::strerror(code)};
}

}  // namespace

std::unique_ptr<SerialPort> SerialPort::open(const std::string& path, const Options& options,
                                             Error* error) {
    if (options.debug) {
        log("openSerialPort:try to open:[{}] baud:[{}] exclusive:[{}] blocking:[{}] "
            "pseudoTerminal:[{}]",
            path, options.baud, "YES", "NO", options.pseudoTerminal ? "YES" : "NO");
    }
    const auto speed = speedOf(options.baud);
    if (!speed) {
        log("openSerialPort: Couldn't Open Port:[{}], Error:[{} - {}]", path, EINVAL,
            "unsupported speed " + std::to_string(options.baud));
        setError(error, serialError(EINVAL, "unsupported speed " + std::to_string(options.baud)));
        return nullptr;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        log("openSerialPort: Couldn't Open Port:[{}], Error:[{} - {}]", path, code,
            std::strerror(code));
        setError(error, serialError(code, "cannot open " + path));
        return nullptr;
    }
    std::unique_ptr<SerialPort> port(new SerialPort(path, fd));
    if (::ioctl(fd, TIOCEXCL) != 0) {
        log("openSerialPort:Error setting TIOCEXCL on Port:[{}], Error:[{} - {}]", path, errno,
            std::strerror(errno));
    }
    if (options.debug) {
        log("openSerialPort: Opened:[{}] with fd:[{:02d}]", path, fd);
        log("openSerialPort:Set Exclusive on Port:[{}] with fd:[{:02d}]", path, fd);
        log("configureSerialPort:fd:[{:02d}] baud {}  parity {}  databits {}  stopbits {}  flow {}",
            fd, options.baud, 'N', 8, "1", 'N');
    }
    port->configure(options.baud);
    port->raiseHandshakeLines();
    return port;
}

void SerialPort::configure(int baud) {
    const int fd = fd_.load();
    termios current{};
    if (::tcgetattr(fd, &current) != 0) {
        log("configureSerialPort:fd:[{:02d}] tcgetattr, Error:[{} - {}]", fd, errno,
            std::strerror(errno));
    }
    termios settings{};
    ::cfmakeraw(&settings);
    const speed_t speed = *speedOf(baud);
    ::cfsetispeed(&settings, speed);
    ::cfsetospeed(&settings, speed);
    settings.c_cflag |= CS8 | CREAD | CLOCAL;  // 8N1, no flow control, modem lines ignored
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(fd, TCSANOW, &settings) != 0) {
        log("configureSerialPort:fd:[{:02d}] tcsetattr - TCSANOW, Error:[{} - {}]", fd, errno,
            std::strerror(errno));
    }
    // Ask the driver to hand on each byte at once. Devices without serial-line settings (pseudo-
    // terminals, modems of the ACM class) have nothing to set.
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        if (::ioctl(fd, TIOCSSERIAL, &serial) != 0) {
            log("configureSerialPort:fd:[{:02d}] ioctl - IOSSDATALAT, Error:[{} - {}]", fd, errno,
                std::strerror(errno));
        }
    }
    termios applied{};
    ::tcgetattr(fd, &applied);
    log("configureSerialPort:Port Configured:[{:02d}] input baud:[{}] output baud:[{}]", fd,
        baudOf(::cfgetispeed(&applied)), baudOf(::cfgetospeed(&applied)));
}

void SerialPort::raiseHandshakeLines() {
    const int fd = fd_.load();
    int lines = TIOCM_DTR | TIOCM_RTS;
    if (::ioctl(fd, TIOCMSET, &lines) != 0) {
        log("setHandShake:fd:[{:02d}] ioctl TIOCMSET, Error:[{} - {}]", fd, errno,
            std::strerror(errno));
    }
}

SerialPort::~SerialPort() {
    stopReading();
    if (const int fd = fd_.exchange(-1); fd >= 0) {
        ::close(fd);
    }
}

Bytes SerialPort::readAvailable(std::size_t max) {
    Bytes bytes(max, '\0');
    const int fd = fd_.load();
    ssize_t n = -1;
    do {
        n = fd >= 0 ? ::read(fd, bytes.data(), max) : -1;
    } while (n < 0 && errno == EINTR);
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

bool SerialPort::write(std::string_view bytes, Error* error) {
    const int fd = fd_.load();
    while (!bytes.empty()) {
        const ssize_t n = fd >= 0 ? ::write(fd, bytes.data(), bytes.size()) : (errno = EBADF, -1);
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EAGAIN) {
            pollfd room{fd, POLLOUT, 0};
            if (::poll(&room, 1, 1000) > 0) {
                continue;
            }
            errno = ETIMEDOUT;
        }
        setError(error, serialError(errno, "cannot write to " + path_));
        return false;
    }
    return true;
}

bool SerialPort::startReading(DispatchQueuePtr queue, DataHandler onData, EndHandler onEnd) {
    const int fd = fd_.load();
    if (reader_.running() || fd < 0) {
        return false;
    }
    auto delivering = std::make_shared<std::atomic<bool>>(true);
    delivering_ = delivering;
    // The handlers are shared by the deliveries, which check that reading was not stopped.
    auto data = std::make_shared<DataHandler>(std::move(onData));
    auto end = std::make_shared<EndHandler>(std::move(onEnd));
    return reader_.start(fd, [=](short revents) {
        Bytes chunk(4096, '\0');
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n > 0) {
            chunk.resize(static_cast<std::size_t>(n));
            queue->async([=, chunk = std::move(chunk)] {
                if (*delivering) {
                    (*data)(chunk);
                }
            });
            return true;
        }
        if (n < 0 && (errno == EINTR || (errno == EAGAIN && !(revents & POLLHUP)))) {
            return true;
        }
        const int code = n == 0 || errno == EAGAIN ? 0 : errno;
        queue->async([=] {
            if (delivering->exchange(false)) {
                (*end)(code);
            }
        });
        return false;
    });
}

void SerialPort::stopReading() {
    if (delivering_) {
        delivering_->store(false);
    }
    reader_.stop();
}

bool SerialPort::drain(const std::string& name, bool debug) {
    const int fd = fd_.load();
    if (fd < 0) {
        log("closeSerialPort: error draining {} on fd {}, {} - {}", name, fd, EBADF,
            std::strerror(EBADF));
        return false;
    }
    if (debug) {
        log("Draining Serial Port {}", fd);
    }
    const auto start = DispatchClock::now();
    if (::tcdrain(fd) != 0) {
        log("Error waiting for drain, Error:[{} - {}]", errno, std::strerror(errno));
        return false;
    }
    if (debug) {
        const std::chrono::duration<double, std::milli> elapsed = DispatchClock::now() - start;
        log("Drained Serial Port {}, Elapsed {:0.3f} ms", fd, elapsed.count());
    }
    return true;
}

bool SerialPort::close(const std::string& name) {
    stopReading();
    const int fd = fd_.exchange(-1);
    if (fd < 0 || ::close(fd) != 0) {
        const int code = fd < 0 ? EBADF : errno;
        log("closeSerialPort: error closing {} on fd {}, {} - {}", name, fd, code,
            std::strerror(code));
        return false;
    }
    log("closeSerialPort: {} on fd {} closed.", name, fd);
    return true;
}

}  // namespace vm
