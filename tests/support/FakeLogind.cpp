#include "support/FakeLogind.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QDBusMessage>

namespace vm::test {

namespace {

constexpr const char* kService = "org.freedesktop.login1";
constexpr const char* kPath = "/org/freedesktop/login1";
constexpr const char* kInterface = "org.freedesktop.login1.Manager";

}  // namespace

FakeLogind::FakeLogind(QDBusConnection bus) : bus_(std::move(bus)) {
    serving_ = bus_.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
               bus_.registerService(kService);
}

FakeLogind::~FakeLogind() {
    bus_.unregisterObject(kPath);
    for (int fd : readEnds_) {
        ::close(fd);
    }
}

bool FakeLogind::prepareForSleep(bool sleeping) {
    auto signal = QDBusMessage::createSignal(kPath, kInterface, "PrepareForSleep");
    signal << sleeping;
    return bus_.send(signal);
}

bool FakeLogind::ended(std::size_t index, int waitMs) const {
    if (index >= readEnds_.size()) {
        return false;
    }
    pollfd p{readEnds_[index], POLLIN, 0};
    return ::poll(&p, 1, waitMs) == 1 && (p.revents & POLLHUP);
}

QDBusUnixFileDescriptor FakeLogind::Inhibit(const QString& what, const QString& who,
                                            const QString& why, const QString& mode) {
    inhibitions.push_back({what, who, why, mode});
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return {};
    }
    readEnds_.push_back(fds[0]);
    QDBusUnixFileDescriptor writeEnd(fds[1]);  // a copy travels with the reply
    ::close(fds[1]);
    return writeEnd;
}

}  // namespace vm::test
