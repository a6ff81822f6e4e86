#pragma once
// System sleep and wake, from logind's PrepareForSleep signal on the system bus. While the
// program runs it holds a delay inhibitor, so that the system waits (up to logind's limit) until
// the program has closed its radio: at sleep the inhibitor is handed to the sleep handler as a
// lock, and the system goes to sleep once every copy of the lock is gone. After the wake a new
// inhibitor is taken. Without a system bus or logind this is logged once and nothing else
// happens.
#include <QDBusConnection>

#include <functional>
#include <memory>

namespace vm {

class SleepWatcher {
public:
    using SleepLock = std::shared_ptr<void>;  // empty when no inhibitor could be taken
    using SleepHandler = std::function<void(SleepLock)>;
    using WakeHandler = std::function<void()>;

    static constexpr const char* kService = "org.freedesktop.login1";
    static constexpr const char* kPath = "/org/freedesktop/login1";
    static constexpr const char* kInterface = "org.freedesktop.login1.Manager";

    // Create on the GUI thread; the handlers run there.
    SleepWatcher(SleepHandler onSleep, WakeHandler onWake,
                 QDBusConnection bus = QDBusConnection::systemBus());
    ~SleepWatcher();
    SleepWatcher(const SleepWatcher&) = delete;
    SleepWatcher& operator=(const SleepWatcher&) = delete;

    // True once logind has answered (the question is asked without waiting) and its signal is
    // heard.
    bool watching() const { return watching_; }

private:
    struct Receiver;
    void prepareForSleep(bool sleeping);
    void inhibit();

    QDBusConnection bus_;
    SleepHandler onSleep_;
    WakeHandler onWake_;
    SleepLock inhibitor_;
    std::unique_ptr<Receiver> receiver_;
    bool watching_ = false;
};

}  // namespace vm
