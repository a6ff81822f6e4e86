#pragma once
// The far side of a serial line for tests: a pseudo-terminal's master. Its slave path is the
// device a test opens as a serial port; what the test sends arrives there, and what the port
// writes can be received here.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace vm::test {

class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            path_ = ::ptsname(master_);
        }
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& path() const { return path_; }

    // The line made raw from the start, so that bytes sent before a port opens it wait there
    // unchanged (and are not echoed back) until the port reads them.
    bool makeRaw() const {
        const int slave = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (slave < 0) {
            return false;
        }
        termios settings{};
        const bool raw = ::tcgetattr(slave, &settings) == 0 &&
                         (::cfmakeraw(&settings), ::tcsetattr(slave, TCSANOW, &settings) == 0);
        ::close(slave);
        return raw;
    }

    void send(const std::string& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // Reads until `count` bytes came or 5 s passed.
    std::string receive(std::size_t count) {
        std::string got;
        while (got.size() < count) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 5000) <= 0) {
                break;
            }
            char buffer[256];
            const auto n = ::read(master_, buffer, std::min(sizeof buffer, count - got.size()));
            if (n <= 0) {
                break;
            }
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    // Whatever has arrived by now, without waiting.
    std::string pending() {
        std::string got;
        pollfd p{master_, POLLIN, 0};
        char buffer[256];
        while (::poll(&p, 1, 0) == 1 && (p.revents & POLLIN)) {
            const auto n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    std::string path_;
};

// The descriptors of this process open on `path`.
inline int openDescriptorsOn(const std::string& path) {
    namespace fs = std::filesystem;
    int count = 0;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd", ec)) {
        std::error_code linkError;
        if (fs::read_symlink(entry.path(), linkError).string() == path) {
            ++count;
        }
    }
    return count;
}

}  // namespace vm::test
