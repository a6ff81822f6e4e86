#include "platform/ui/DistributedNotificationCenter.h"

#include "platform/core/Log.h"
#include "platform/ui/PlistDBus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QObject>

#include <vector>

namespace vm {

// Hears the signal on the GUI thread and hands it to the centre.
struct DistributedNotificationCenter::Receiver : QObject {
    Q_OBJECT
public:
    explicit Receiver(DistributedNotificationCenter& center) : center_(center) {}

public slots:
    void received(const QDBusMessage& message) {
        const auto arguments = message.arguments();
        if (arguments.size() != 3) {
            return;
        }
        DistributedNotification notification{
            arguments[0].toString().toStdString(), arguments[1].toString().toStdString(), {}};
        if (auto info = dbus::fromDBus(arguments[2])) {
            if (const auto* dictionary = info->get<PlistDict>()) {
                notification.userInfo = *dictionary;
            }
        }
        center_.deliver(notification);
    }

private:
    DistributedNotificationCenter& center_;
};

DistributedNotificationCenter& DistributedNotificationCenter::defaultCenter() {
    static DistributedNotificationCenter* center =
        new DistributedNotificationCenter(QDBusConnection::sessionBus());
    return *center;
}

DistributedNotificationCenter::DistributedNotificationCenter(QDBusConnection bus)
    : bus_(std::move(bus)), receiver_(std::make_unique<Receiver>(*this)) {
    if (!bus_.connect(QString(), kPath, kInterface, kSignal, "ssa{sv}", receiver_.get(),
                      SLOT(received(QDBusMessage)))) {
        log("DistributedNotificationCenter: not listening: {}",
            bus_.lastError().message().toStdString());
    }
}

DistributedNotificationCenter::~DistributedNotificationCenter() {
    bus_.disconnect(QString(), kPath, kInterface, kSignal, "ssa{sv}", receiver_.get(),
                    SLOT(received(QDBusMessage)));
}

DistributedNotificationCenter::Token DistributedNotificationCenter::addObserver(
    const std::string& name, Handler handler) {
    const Token token = next_++;
    observers_.emplace(token, std::make_pair(name, std::make_shared<Handler>(std::move(handler))));
    return token;
}

void DistributedNotificationCenter::removeObserver(Token token) { observers_.erase(token); }

bool DistributedNotificationCenter::post(const std::string& name, const std::string& object,
                                         const PlistDict& userInfo) {
    auto signal = QDBusMessage::createSignal(kPath, kInterface, kSignal);
    signal << QString::fromStdString(name) << QString::fromStdString(object)
           << dbus::toDBus(userInfo);
    return bus_.send(signal);
}

void DistributedNotificationCenter::deliver(const DistributedNotification& notification) {
    // A handler may add or remove observers: walk the tokens of this moment, and skip those
    // removed on the way.
    std::vector<Token> tokens;
    for (const auto& [token, entry] : observers_) {
        if (entry.first == notification.name) {
            tokens.push_back(token);
        }
    }
    for (const Token token : tokens) {
        const auto it = observers_.find(token);
        if (it != observers_.end()) {
            const auto handler = it->second.second;  // kept while it runs
            (*handler)(notification);
        }
    }
}

}  // namespace vm

#include "DistributedNotificationCenter.moc"
