#include "platform/ui/UserNotifications.h"

#include "platform/core/DispatchQueue.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>

namespace vm {

namespace {

// The "image-data" hint: width, height, bytes per row, alpha, bits per sample, channels, pixels.
struct ImageData {
    QImage image;  // RGBA8888
};

QDBusArgument& operator<<(QDBusArgument& argument, const ImageData& data) {
    const QImage& image = data.image;
    argument.beginStructure();
    argument << image.width() << image.height() << static_cast<int>(image.bytesPerLine()) << true
             << 8 << 4
             << QByteArray(reinterpret_cast<const char*>(image.constBits()),
                           static_cast<qsizetype>(image.sizeInBytes()));
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, ImageData&) { return argument; }

void send(QDBusConnection& bus, const std::string& title, const std::string& text,
          const QImage& image);

}  // namespace

}  // namespace vm

Q_DECLARE_METATYPE(vm::ImageData)

namespace vm {

UserNotifications::UserNotifications(QDBusConnection bus) : bus_(std::move(bus)) {
    static const QMetaType registered = qDBusRegisterMetaType<ImageData>();
    (void)registered;
}

void UserNotifications::show(const std::string& title, const std::string& text,
                             const QImage& image) {
    DispatchQueue::main()->async(
        [bus = bus_, title, text, image]() mutable { send(bus, title, text, image); });
}

namespace {

void send(QDBusConnection& bus, const std::string& title, const std::string& text,
          const QImage& image) {
    QVariantMap hints;
    hints.insert("sound-name", QString("message-new-instant"));
    hints.insert("desktop-entry", QString("velmorasdr"));
    if (!image.isNull()) {
        hints.insert("image-data", QVariant::fromValue(
                                       ImageData{image.convertToFormat(QImage::Format_RGBA8888)}));
    }
    auto call =
        QDBusMessage::createMethodCall(UserNotifications::kService, UserNotifications::kPath,
                                       UserNotifications::kService, "Notify");
    call << QCoreApplication::applicationName() << 0u << QString()
         << QCoreApplication::translate("Notifications", title.c_str())
         << QString::fromStdString(text) << QStringList() << hints << -1;
    bus.send(call);  // the answer (the notice's number) is not needed
}

}  // namespace

}  // namespace vm
