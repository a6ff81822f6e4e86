// Notifications over a private session bus: between two connections, to a notification server
// written here, and the question whether a program holds a name.
#include "platform/ui/BusNames.h"
#include "platform/ui/DistributedNotificationCenter.h"
#include "platform/ui/UserNotifications.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QTest>

#include <memory>
#include <thread>

namespace vm {
namespace {

// A desktop notification server that keeps what it is asked to show.
class NotificationServer : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    struct Notice {
        QString app, icon, summary, body;
        QVariantMap hints;
        int timeout = 0;
    };
    std::vector<Notice> notices;

public slots:
    uint Notify(const QString& app, uint, const QString& icon, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap& hints, int timeout) {
        notices.push_back({app, icon, summary, body, hints, timeout});
        return static_cast<uint>(notices.size());
    }
};

class BusNotificationsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bus_.started()) << bus_.failure(); }
    void TearDown() override {
        for (const auto& name : names_) {
            QDBusConnection::disconnectFromBus(name);
        }
    }
    // A connection of its own to the private bus, as another program would have.
    QDBusConnection connect(const QString& name) {
        names_.push_back(name);
        auto connection =
            QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), name);
        EXPECT_TRUE(connection.isConnected()) << connection.lastError().message().toStdString();
        return connection;
    }

    test::PrivateBus bus_;
    std::vector<QString> names_;
};

TEST_F(BusNotificationsTest, ADistributedNotificationArrivesWithItsDictionaryAtAnotherConnection) {
    DistributedNotificationCenter poster(connect("poster"));
    DistributedNotificationCenter listener(connect("listener"));
    std::vector<DistributedNotification> heard;
    int otherNames = 0, removed = 0;
    listener.addObserver("com.velmorasoftware.new_dx_spot",
                         [&](const DistributedNotification& n) { heard.push_back(n); });
    listener.addObserver("com.velmorasoftware.reset_dx_spots",
                         [&](const DistributedNotification&) { ++otherNames; });
    listener.removeObserver(listener.addObserver(
        "com.velmorasoftware.new_dx_spot", [&](const DistributedNotification&) { ++removed; }));
    const PlistDict spot = {
        {"combinedCallsign", "K1ABC"},
        {"megahertz", 14.074},
        {"callStatus", 2},
        {"workedThisBand", true},
        {"timeout_hours", -1.5},
        {"comments", "CQ de K1ABC \xc3\xa9"},
        {"qsx", PlistArray{14.075, "up 1", PlistArray{},
                           PlistDict{{"deep", PlistDict{{"n", 1LL << 40}}}}}},
        {"raw", PlistData{0, 1, 254, 255}},
    };
    ASSERT_TRUE(poster.post("com.velmorasoftware.new_dx_spot", "string object", spot));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.empty(); }, 5000));
    EXPECT_EQ(heard[0].name, "com.velmorasoftware.new_dx_spot");
    EXPECT_EQ(heard[0].object, "string object");
    EXPECT_EQ(PlistValue(heard[0].userInfo), PlistValue(spot));
    // A second notice of an empty dictionary, as "request_update" sends, after which the first has
    // surely gone everywhere it would go.
    ASSERT_TRUE(poster.post("com.velmorasoftware.new_dx_spot", "string object", {}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return heard.size() == 2; }, 5000));
    EXPECT_TRUE(heard[1].userInfo.empty());
    EXPECT_EQ(otherNames, 0);
    EXPECT_EQ(removed, 0);
}

TEST_F(BusNotificationsTest, AUserNotificationReachesTheNotificationServer) {
    auto serverBus = connect("server");
    NotificationServer server;
    ASSERT_TRUE(serverBus.registerObject(UserNotifications::kPath, &server,
                                         QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(serverBus.registerService(UserNotifications::kService));

    UserNotifications notifications(connect("client"));
    QImage image(3, 2, QImage::Format_RGBA8888);
    image.fill(QColor(255, 0, 0, 128));
    std::thread([&] {
        notifications.show("Radio Connected", "Connected to DORO-6600 (K1ABC)", image);
    }).join();
    notifications.show("Radio Disconnected", "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.notices.size() == 2; }, 5000));

    const auto& first = server.notices[0];
    EXPECT_EQ(first.summary.toStdString(), "Radio Connected");
    EXPECT_EQ(first.body.toStdString(), "Connected to DORO-6600 (K1ABC)");
    EXPECT_EQ(first.timeout, -1);
    EXPECT_EQ(first.hints.value("sound-name").toString().toStdString(), "message-new-instant");
    ASSERT_TRUE(first.hints.contains("image-data"));
    const auto imageData = first.hints.value("image-data").value<QDBusArgument>();
    int width = 0, height = 0, stride = 0, bits = 0, channels = 0;
    bool alpha = false;
    QByteArray pixels;
    imageData.beginStructure();
    imageData >> width >> height >> stride >> alpha >> bits >> channels >> pixels;
    imageData.endStructure();
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_TRUE(alpha);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(channels, 4);
    ASSERT_GE(pixels.size(), stride * 2);
    EXPECT_EQ(static_cast<unsigned char>(pixels[0]), 255);
    EXPECT_EQ(static_cast<unsigned char>(pixels[3]), 128);

    EXPECT_EQ(server.notices[1].summary.toStdString(), "Radio Disconnected");
    EXPECT_FALSE(server.notices[1].hints.contains("image-data"));
}

TEST_F(BusNotificationsTest, ASiblingRunsWhileItHoldsItsName) {
    auto asker = connect("asker");
    auto sibling = connect("sibling");
    EXPECT_FALSE(busNameHasOwner("com.velmorasoftware.Tarvelo", asker));
    ASSERT_TRUE(sibling.registerService("com.velmorasoftware.Tarvelo"));
    EXPECT_TRUE(busNameHasOwner("com.velmorasoftware.Tarvelo", asker));
    ASSERT_TRUE(sibling.unregisterService("com.velmorasoftware.Tarvelo"));
    EXPECT_FALSE(busNameHasOwner("com.velmorasoftware.Tarvelo", asker));
    EXPECT_FALSE(busNameHasOwner("com.velmorasoftware.Tarvelo", QDBusConnection("not connected")));
}

}  // namespace
}  // namespace vm

#include "BusNotificationsTest.moc"
