#include "platform/ui/SleepWatcher.h"

#include "platform/core/Log.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <mutex>

namespace vm {

namespace {

void logUnwatchedOnce(const std::string& why) {
    static std::once_flag once;
    std::call_once(once,
                   [&] { log("SleepWatcher:start: {}; sleep and wake are not reported", why); });
}

}  // namespace

struct SleepWatcher::Receiver : QObject {
    Q_OBJECT
public:
    explicit Receiver(SleepWatcher& watcher) : watcher_(watcher) {}

public slots:
    void prepareForSleep(bool sleeping) { watcher_.prepareForSleep(sleeping); }

private:
    SleepWatcher& watcher_;
};

SleepWatcher::SleepWatcher(SleepHandler onSleep, WakeHandler onWake, QDBusConnection bus)
    : bus_(std::move(bus)), onSleep_(std::move(onSleep)), onWake_(std::move(onWake)) {
    if (!bus_.isConnected()) {
        logUnwatchedOnce("no system bus");
        return;
    }
    receiver_ = std::make_unique<Receiver>(*this);
    inhibit();
}

SleepWatcher::~SleepWatcher() {
    if (watching_) {
        bus_.disconnect(kService, kPath, kInterface, "PrepareForSleep", receiver_.get(),
                        SLOT(prepareForSleep(bool)));
    }
}

void SleepWatcher::inhibit() {
    auto call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Inhibit");
    call << QString("sleep") << QCoreApplication::applicationName()
         << QString("Closing the radio session") << QString("delay");
    // Asked without waiting, so that the GUI thread never stalls on the system bus. The answer
    // is dropped with the receiver when the watcher goes first.
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(call), receiver_.get());
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, receiver_.get(), [this, pending] {
        pending->deleteLater();
        const QDBusPendingReply<QDBusUnixFileDescriptor> reply = *pending;
        if (reply.isError() || !reply.value().isValid()) {
            logUnwatchedOnce("logind does not answer (" + reply.error().message().toStdString() +
                             ")");
            return;
        }
        // The descriptor closes, and the inhibitor ends, with the last copy of the lock.
        inhibitor_ = std::make_shared<QDBusUnixFileDescriptor>(reply.value());
        if (!watching_) {
            watching_ = bus_.connect(kService, kPath, kInterface, "PrepareForSleep",
                                     receiver_.get(), SLOT(prepareForSleep(bool)));
        }
    });
}

void SleepWatcher::prepareForSleep(bool sleeping) {
    if (sleeping) {
        auto lock = std::move(inhibitor_);
        inhibitor_.reset();
        if (onSleep_) {
            onSleep_(std::move(lock));
        }
        return;
    }
    if (onWake_) {
        onWake_();
    }
    if (!inhibitor_) {
        inhibit();
    }
}

}  // namespace vm

#include "SleepWatcher.moc"
