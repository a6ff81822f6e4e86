#pragma once
// Notices for the user outside the windows, through the desktop's notification server
// (org.freedesktop.Notifications): a title, a text, an optional image and the server's sound for
// a new message. The title is looked up in the program's translations, where it is the key.
#include <QDBusConnection>
#include <QImage>

#include <string>

namespace vm {

class UserNotifications {
public:
    static constexpr const char* kService = "org.freedesktop.Notifications";
    static constexpr const char* kPath = "/org/freedesktop/Notifications";

    explicit UserNotifications(QDBusConnection bus = QDBusConnection::sessionBus());

    // From any thread: the notice goes out from the main queue, without waiting for the server.
    void show(const std::string& title, const std::string& text, const QImage& image = QImage());

private:
    QDBusConnection bus_;
};

}  // namespace vm
