// The DoroLink network test window: the radio it shows and the one it tests, its ports, storing
// forwarded ports, and its lights following the server's test answer.
#include "app/dorolink/DoroLinkAuthFixture.h"

#include "platform/ui/ImageButton.h"
#include "platform/ui/ProgressIndicator.h"
#include "support/QueueBarrier.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vm::test {
namespace {

std::shared_ptr<RadioInstance> localRadio(const std::string& serial, const std::string& ip) {
    auto radio = std::make_shared<RadioInstance>();
    radio->serialNum = serial;
    radio->ipAddress = ip;
    return radio;
}

class NetTestTest : public DoroLinkAuthFixture {
protected:
    void SetUp() override {
        DoroLinkAuthFixture::SetUp();
        start();
    }
    NetTestWindow& window() { return controller->netTest().netWindow(); }
    template <class T>
    T* find(const char* name) {
        auto* widget = window().findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }
    QImage light(const char* name) { return find<ImageButton>(name)->image(); }
    QString text(const char* name) { return find<QLineEdit>(name)->text(); }
    void connectServer() {
        controller->wanServer()->connectWanServer();
        ASSERT_TRUE(runQtUntil([&] { return controller->wanServer()->pingTimer() != nullptr; }));
    }
    // Opens the window; its test goes out 0.1 s later.
    void openAndTest(const std::string& serial) {
        const std::string request = "application test_connection serial=" + serial;
        const std::size_t before = server->count(request);
        controller->openNetWindow();
        DispatchClock::advance(NetTestController::kTestDelay);
        ASSERT_TRUE(runQtUntil([&] { return server->count(request) > before; }));
        EXPECT_TRUE(find<ProgressIndicator>("connectionTestProgress")->isAnimating());
    }
    void saveScreenshot(const QString& name) {
        QDir().mkpath(VM_SCREENSHOT_DIR);
        window().grab().save(QStringLiteral(VM_SCREENSHOT_DIR "/%1.png").arg(name));
    }
};

TEST_F(NetTestTest, LightsFollowTheTestAnswer) {
    host.local = {localRadio("1111-2222-3333-4444", "192.168.1.20")};
    connectServer();
    openAndTest("1111-2222-3333-4444");
    const QImage grey = statusImageNamed("gray_ball");
    EXPECT_EQ(light("netTestManualStatus"), grey);
    EXPECT_EQ(light("netTestAutoStatus"), grey);

    struct Answer {
        const char* pairs;
        const char* forwarded;
        const char* upnp;
    };
    const Answer answers[] = {
        {"forward_tcp_port_working=1 forward_udp_port_working=0 upnp_tcp_port_working=true "
         "upnp_udp_port_working=Yes",
         "red_ball", "green_ball"},
        {"forward_tcp_port_working=1 forward_udp_port_working=1 upnp_tcp_port_working=false",
         "green_ball", "red_ball"},
        {"serial=1111-2222-3333-4444", "red_ball", "red_ball"},
    };
    for (const Answer& answer : answers) {
        SCOPED_TRACE(answer.pairs);
        const std::string message = std::string("radio test_connection ") + answer.pairs;
        server->send(message + "\n");
        ASSERT_TRUE(runQtUntil([&] {
            return find<ImageButton>("netTestManualStatus")->toolTip().toStdString() ==
                   wan::describePairs(wan::messagePairs(message, true));
        }));
        EXPECT_EQ(light("netTestManualStatus"), statusImageNamed(answer.forwarded));
        EXPECT_EQ(light("netTestAutoStatus"), statusImageNamed(answer.upnp));
        EXPECT_FALSE(find<ProgressIndicator>("connectionTestProgress")->isAnimating());
    }
    EXPECT_EQ(find<QLabel>("netForwardingText")->text(),
              "Forward these ports on your router for 192.168.1.20");
    saveScreenshot(QStringLiteral("dorolink_net_test_window"));
}

TEST_F(NetTestTest, ShowsTheDoroLinkRadioAndTestsTheLocalOne) {
    host.local = {localRadio("1111-2222-3333-4444", "192.168.1.20")};
    connectServer();
    server->send(
        "radio list radio_name=Remote serial=9999-8888-7777-6666 public_tls_port=3100 "
        "public_udp_port=3200 public_upnp_udp_port=3993 upnp_supported=0 status=Available|\n");
    ASSERT_TRUE(runQtUntil([&] { return controller->wanServer()->remoteRadios().size() == 1; }));
    openAndTest("1111-2222-3333-4444");
    EXPECT_EQ(text("netAutoTCPPortText"), "4994");
    EXPECT_EQ(text("netAutoUDPPortText"), "3993");
    EXPECT_EQ(text("netManualTCPPortText"), "3100");
    EXPECT_EQ(text("netManualUDPPortText"), "3200");
    EXPECT_TRUE(find<QRadioButton>("portforwardingButton")->isChecked());
    EXPECT_EQ(find<QLabel>("netForwardingText")->text(),
              "Forward these ports on your router for this radio");
}

TEST_F(NetTestTest, NoRadioSendsNoTest) {
    connectServer();
    controller->openNetWindow();
    DispatchClock::advance(NetTestController::kTestDelay);
    ASSERT_TRUE(runQtUntil([&] { return logs.contains("netTestButtonPressed:no radios"); }));
    serverCaughtUp();
    EXPECT_EQ(server->countPrefix("application test_connection"), 0u);
    EXPECT_EQ(text("netManualTCPPortText"), "2100");
}

TEST_F(NetTestTest, SaveStoresForwardedPortsOnlyInALocalRadio) {
    controller->netTest().refreshNetWindow();
    auto* save = find<QPushButton>("saveButton");
    auto* status = find<QLabel>("netStatusText");
    EXPECT_FALSE(save->isEnabled());
    controller->netTest().saveButtonPressed();
    EXPECT_EQ(status->text(), "Radio must be connected to change settings");

    host.open = localRadio("9999-8888-7777-6666", "203.0.113.5");
    host.open->wanRadio = true;
    controller->netTest().refreshNetWindow();
    EXPECT_FALSE(save->isEnabled());
    controller->netTest().saveButtonPressed();
    EXPECT_EQ(status->text(), "Radio must be on local network to change settings");
    EXPECT_TRUE(host.savedPorts.empty());

    host.open = localRadio("1111-2222-3333-4444", "192.168.1.20");
    controller->netTest().refreshNetWindow();
    ASSERT_TRUE(save->isEnabled());
    find<QRadioButton>("upnpButton")->click();
    save->click();
    find<QLineEdit>("netManualTCPPortText")->setText("5100");
    find<QLineEdit>("netManualUDPPortText")->setText("5200");
    find<QRadioButton>("portforwardingButton")->click();
    save->click();
    EXPECT_EQ(host.savedPorts,
              (std::vector<RecordingAuthHost::Ports>{{false, 2100, 2200}, {true, 5100, 5200}}));
    EXPECT_EQ(status->text(), "Changes saved");
}

}  // namespace
}  // namespace vm::test
