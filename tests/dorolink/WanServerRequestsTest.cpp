// What the client asks of the DoroLink server, what it refuses to send, and the server's other
// messages: port test results, application info, user settings, a refused registration and words
// it does not know. Also the radios' removal after a session time-out.
#include "WanServerFixture.h"

namespace vm {
namespace {

using test::kRegistration;
using test::LogCapture;
using test::Notice;

class WanServerRequests : public test::WanServerFixture {};

TEST_F(WanServerRequests, RequestsGoOutAsLinesEndingInACarriageReturn) {
    startTrusted();
    connectAndRegister();
    LogCapture capture;
    wan->sendDisConnectMessageToRadio("1111-2222-3333-4444");
    wan->sendTestConnection("1111-2222-3333-4444");
    wan->sendSetUserInfoToServer("W1AW", "Hiram", "Maxim", "TOKEN2");
    ASSERT_TRUE(runMainUntil([&] { return server->lines().size() >= 5; }));
    std::vector<std::string> texts;
    for (const auto& line : server->lines()) {
        if (line.text != "ping from client") {
            texts.push_back(line.text);
        }
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         kRegistration, "application disconnect_users serial=1111-2222-3333-4444",
                         "application test_connection serial=1111-2222-3333-4444",
                         "application set_user_info owner_token=TOKEN2 callsign=W1AW "
                         "first_name=Hiram last_name=Maxim"}));
    EXPECT_TRUE(
        capture.contains("WanServer:SendCommand:line:length:[55] [application "
                         "test_connection serial=1111-2222-3333-4444]"));
    EXPECT_FALSE(capture.contains("TOKEN2")) << "only the test is logged";

    // A value holding a line end cannot end the line early and add a command of its own.
    wan->sendSetUserInfoToServer("W1AW\rapplication disconnect_users serial=1", "a", "b", "T");
    wan->sendTestConnection("");
    test::mainQueueBarrier();
    EXPECT_TRUE(capture.contains("WanServer:SendCommand:not sent: a value holds a line end"));
    EXPECT_TRUE(capture.contains("WanServer:SendTestConnection:no serial"));
    wan->sendTestConnection("END");
    ASSERT_TRUE(
        runMainUntil([&] { return server->count("application test_connection serial=END") == 1; }));
    EXPECT_EQ(server->countPrefix("application disconnect_users"), 1u);
}

// Without a connection every request is refused with its line, and nothing reaches the status
// light; a registration refusal also ends the exchange, as does a connect request.
TEST_F(WanServerRequests, AreRefusedWithoutAConnection) {
    startTrusted();
    LogCapture capture;
    wan->sendRegisterApplicationMessageToServer(test::kToken);
    wan->sendConnectMessageToRadio("1-2-3-4");
    wan->sendDisConnectMessageToRadio("1-2-3-4");
    wan->sendTestConnection("1-2-3-4");
    wan->sendSetUserInfoToServer("W1AW", "a", "b", "T");
    wan->pingTimerFired();
    test::mainQueueBarrier();
    for (const char* line : {"WanServer:SendRegisterApplicationMessageToServer:not connected",
                             "SendConnectMessageToRadio:Server not connected",
                             "SendDisConnectMessageToRadio:Server not connected",
                             "WanServer:SendTestConnection:not connected",
                             "WanServer:SendSetUserInfoToServer:not connected"}) {
        EXPECT_TRUE(capture.contains(line)) << line;
    }
    EXPECT_EQ(authComplete, 2);
    EXPECT_TRUE(delegate->statuses.empty()) << "a ping while disconnected flashes nothing";
    serverCaughtUp();
    EXPECT_EQ(server->accepted(), 0);
}

TEST_F(WanServerRequests, ServerMessagesGoToTheirHandlers) {
    startTrusted();
    connectAndRegister();
    LogCapture capture;

    ASSERT_TRUE(serverSays(
        "radio test_connection serial=1-2-3-4 upnp_tcp_port_working=true "
        "upnp_udp_port_working=false forward_tcp_port_working=1 forward_udp_port_working=0\n",
        [&] { return delegate->netWindowRefreshes == 1; }));
    EXPECT_EQ(wan->connectionResults(), (wan::MessagePairs{{"serial", "1-2-3-4"},
                                                           {"upnp_tcp_port_working", "true"},
                                                           {"upnp_udp_port_working", "false"},
                                                           {"forward_tcp_port_working", "1"},
                                                           {"forward_udp_port_working", "0"}}));
    ASSERT_TRUE(serverSays("radio test_connection serial=9\n",
                           [&] { return delegate->netWindowRefreshes == 2; }));
    EXPECT_EQ(wan->connectionResults(), (wan::MessagePairs{{"serial", "9"}}))
        << "the last answer replaces the one before";

    ASSERT_TRUE(serverSays("application info public_ip=198.51.100.7\n", [&] {
        return capture.contains(
            "WanServer:ParseApplicationInfo:applicationInfo: "
            "public_ip=198.51.100.7");
    }));
    ASSERT_TRUE(serverSays("application user_settings callsign=W1AW first_name=Hiram\n", [&] {
        return capture.contains("WanServer:ParseUserSettings:[callsign=W1AW first_name=Hiram]");
    }));
    EXPECT_EQ(authComplete, 0);

    ASSERT_TRUE(serverSays("something new\n", [&] { return authComplete == 1; }));
    EXPECT_TRUE(capture.contains("WanServer:ParseMessage:unknown message:[something new]"));

    // A refused registration is reported, and a new token may be registered on this connection.
    ASSERT_TRUE(
        serverSays("application registration_invalid\n", [&] { return authComplete == 2; }));
    EXPECT_TRUE(
        capture.contains("WanServer:ParseRegistrationInvalid:application registration_invalid"));
    EXPECT_EQ(notices, (std::vector<Notice>{{"DoroLink login refused",
                                             "The DoroLink server did not accept the login: log "
                                             "in again"}}));
    wan->sendRegisterApplicationMessageToServer(test::kToken);
    EXPECT_TRUE(runMainUntil([&] { return server->count(kRegistration) == 2; }));
}

TEST_F(WanServerRequests, RemovingARadioDropsOnlyAListedOne) {
    startTrusted();
    connectAndRegister();
    ASSERT_TRUE(
        serverSays("radio list radio_name=A serial=1-2-3-4 status=Available|"
                   "radio_name=B serial=5-6-7-8 status=Available|\n",
                   [&] { return listed(2); }));
    const std::size_t changes = listChanges.size();
    wan->removeRadio("");
    wan->removeRadio("9-9-9-9");
    EXPECT_EQ(wan->remoteRadios().size(), 2u);
    EXPECT_EQ(listChanges.size(), changes);

    wan->removeRadio("1-2-3-4");
    ASSERT_EQ(wan->remoteRadios().size(), 1u);
    EXPECT_EQ(wan->remoteRadios()[0]->name, "B");
    ASSERT_EQ(listChanges.size(), changes + 1);
    EXPECT_EQ(listChanges.back(), nullptr);
    EXPECT_EQ(WanServer::listRadioforSerial("5-6-7-8", wan->remoteRadios()),
              wan->remoteRadios()[0]);
    EXPECT_EQ(wan->remoteRadioforSerial(""), nullptr);
}

}  // namespace
}  // namespace vm
