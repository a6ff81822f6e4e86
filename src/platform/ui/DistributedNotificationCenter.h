#pragma once
// Notifications between applications: a name, an object text and a dictionary of property-list
// values, sent as the D-Bus signal "Notification" (s name, s object, a{sv} user info) of the
// interface "com.velmorasoftware.DistributedNotifications" on the object path
// "/com/velmorasoftware/DistributedNotifications", to every program on the bus that listens,
// this one included. Observers hear a name from whichever program posts it.
#include "platform/core/PlistValue.h"

#include <QDBusConnection>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace vm {

struct DistributedNotification {
    std::string name;
    std::string object;
    PlistDict userInfo;  // entries that a property list cannot hold are left out
};

class DistributedNotificationCenter {
public:
    static constexpr const char* kPath = "/com/velmorasoftware/DistributedNotifications";
    static constexpr const char* kInterface = "com.velmorasoftware.DistributedNotifications";
    static constexpr const char* kSignal = "Notification";

    using Token = std::uint64_t;
    using Handler = std::function<void(const DistributedNotification&)>;

    // The centre on the session bus. Create and use it on the GUI thread.
    static DistributedNotificationCenter& defaultCenter();

    explicit DistributedNotificationCenter(QDBusConnection bus);
    ~DistributedNotificationCenter();
    DistributedNotificationCenter(const DistributedNotificationCenter&) = delete;
    DistributedNotificationCenter& operator=(const DistributedNotificationCenter&) = delete;

    // `handler` runs on the GUI thread for every notification of that name, posted by any
    // program. Removing twice, or a token never given, does nothing.
    Token addObserver(const std::string& name, Handler handler);
    void removeObserver(Token token);

    // Sends at once. False when the bus does not take the signal.
    bool post(const std::string& name, const std::string& object, const PlistDict& userInfo);

private:
    struct Receiver;
    void deliver(const DistributedNotification& notification);

    QDBusConnection bus_;
    std::unique_ptr<Receiver> receiver_;
    std::map<Token, std::pair<std::string, std::shared_ptr<Handler>>> observers_;
    Token next_ = 1;
};

}  // namespace vm
