#pragma once
// A D-Bus daemon of the test's own, listening on a socket under /tmp, with no service files, so
// that nothing on it starts by activation and every name on it belongs to the test. The daemon
// ends with the object.
#include <string>

namespace vm::test {

class PrivateBus {
public:
    PrivateBus();  // check started() before use
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool started() const { return pid_ > 0 && !address_.empty(); }
    // The address to connect to, for DBUS_SESSION_BUS_ADDRESS or a named connection.
    const std::string& address() const { return address_; }
    // The daemon's own account of a failed start.
    const std::string& failure() const { return failure_; }

private:
    std::string address_;
    std::string failure_;
    int pid_ = 0;
};

}  // namespace vm::test
