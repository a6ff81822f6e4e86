#include "platform/ui/TerminationSignal.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <utility>

namespace vm {

namespace {

int gWriteEnd = -1;
constexpr std::array kSignals{SIGTERM};

extern "C" void writeSignalByte(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignal::TerminationSignal(std::function<void()> onSignal)
    : onSignal_(std::move(onSignal)) {
    int ends[2];
    if (gWriteEnd >= 0 || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    gWriteEnd = ends[1];
    notifier_ = std::make_unique<QSocketNotifier>(ends[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
        char bytes[16];
        const ssize_t count = ::read(int(notifier_->socket()), bytes, sizeof bytes);
        for (ssize_t i = 0; i < count; ++i) {
            onSignal_();
        }
    });
    struct sigaction action {};
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
    installed_ = true;
}

TerminationSignal::~TerminationSignal() {
    if (!installed_) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
    const int readEnd = int(notifier_->socket());
    notifier_.reset();
    ::close(readEnd);
    ::close(std::exchange(gWriteEnd, -1));
}

}  // namespace vm
