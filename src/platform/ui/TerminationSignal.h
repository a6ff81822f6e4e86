#pragma once
// SIGTERM turned into a call on the GUI thread: the signal handler only writes a
// byte to a pipe, whose read end a socket notifier watches. One object per process; while it
// lives the signal no longer ends the process by itself.
#include <functional>
#include <memory>

class QSocketNotifier;

namespace vm {

class TerminationSignal {
public:
    // Create on the GUI thread; `onSignal` runs there, once per signal delivered.
    explicit TerminationSignal(std::function<void()> onSignal);
    ~TerminationSignal();
    TerminationSignal(const TerminationSignal&) = delete;
    TerminationSignal& operator=(const TerminationSignal&) = delete;

    // False when the pipe or the handlers could not be set up (then the signal acts as usual).
    bool installed() const { return installed_; }

private:
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool installed_ = false;
};

}  // namespace vm
