#pragma once
// Runs Qt's events (and with them the main queue) until `done` answers true or the time-out of
// real time has passed; the last answer of `done`. For tests whose work arrives as Qt events
// (network replies, sockets of Qt).
#include <QCoreApplication>

#include <chrono>
#include <functional>

namespace vm::test {

inline bool runQtUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace vm::test
