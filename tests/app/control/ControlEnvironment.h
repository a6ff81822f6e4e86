#pragma once
// What every test of station control has: the application on Qt's offscreen platform, a private
// session bus for the program (single instance, notices) and a desktop notification server on it
// that keeps what the program tells the user.
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace vm::test {

class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        std::string title;
        std::string text;
    };
    std::vector<Notice> notices;

    bool received(const std::string& title, const std::string& text) const;

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout);
};

// The server of this run.
NotificationServer& notificationServer();

// Runs the main queue and Qt's events (the bus's deliveries) until `done` or 5 s.
bool runEventsUntil(const std::function<bool()>& done);

}  // namespace vm::test
