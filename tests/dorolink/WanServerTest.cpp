// The connection to the DoroLink server: TLS with the server's name checked, the registration once
// per connection, the radio list, a radio made ready, the keep-alive, and every way the link ends.
#include "WanServerFixture.h"

#include <algorithm>

namespace vm {
namespace {

using namespace std::chrono_literals;
using test::DoroLinkTestServer;
using test::kRegistration;
using test::LogCapture;
using test::Notice;

class WanServerLink : public test::WanServerFixture {};

constexpr const char* kList =
    "radio list radio_name=Shack serial=1111-2222-3333-4444 status=Available version=3.3.28.0 "
    "public_ip=127.0.0.2 public_tls_port=4994|serial=12|"
    "serial=5555-6666-7777-8888 status=In_Use version=2.4.9.1|\n";

TEST_F(WanServerLink, RegistersOnceOnASecureLinkAndListsTheRadios) {
    startTrusted();
    LogCapture capture;
    connectAndRegister();
    EXPECT_TRUE(wan->connected());
    EXPECT_EQ(delegate->readyCallbacks, std::vector<bool>{true});
    ASSERT_GE(delegate->statuses.size(), 3u);
    EXPECT_EQ(std::vector<bool>(delegate->statuses.begin(), delegate->statuses.begin() + 3),
              (std::vector<bool>{false, true, true}))
        << "down while connecting, up with TCP, up again with TLS (then the pings' flashes)";
    EXPECT_EQ(server->secured(), 1);
    EXPECT_TRUE(runMainUntil([&] { return server->count("ping from client") == 1; }))
        << "the first ping goes out at once";

    // A second registration while the first waits for its answer is refused.
    wan->sendRegisterApplicationMessageToServer(test::kToken);
    EXPECT_TRUE(
        capture.contains("WanServer:SendRegisterApplicationMessageToServer: The register "
                         "command has already been called for this connection"));
    EXPECT_EQ(authComplete, 1);
    EXPECT_FALSE(capture.contains(test::kToken)) << "the token is never logged";

    // The list: a short entry and the piece after the last "|" are skipped.
    ASSERT_TRUE(serverSays(kList, [&] { return !listChanges.empty(); }));
    const auto radios = wan->remoteRadios();
    ASSERT_EQ(radios.size(), 2u);
    EXPECT_EQ(radios[0]->name, "Shack");
    EXPECT_EQ(radios[1]->name, "7777-8888");
    EXPECT_TRUE(std::all_of(radios.begin(), radios.end(),
                            [](const auto& r) { return r->wanRadio == true; }));
    EXPECT_EQ(listChanges.back(), radios[1]) << "the last radio of the list goes with the news";
    EXPECT_EQ(authComplete, 2);
    EXPECT_EQ(notices, (std::vector<Notice>{
                           {"Remote radio added",
                            "Remote radio 1111-2222-3333-4444 Shack added. Status: Available"},
                           {"Remote radio added",
                            "Remote radio 5555-6666-7777-8888 7777-8888 "
                            "added. Status: In_Use"}}));
    EXPECT_TRUE(
        capture.contains("WanServer:ParseRadioListMessage: 1111-2222-3333-4444  Shack     "
                         "           added, status:[Available]"));

    // Accepted now: refused again, and the server saw one registration on this connection.
    wan->sendRegisterApplicationMessageToServer(test::kToken);
    test::mainQueueBarrier();
    EXPECT_EQ(server->count(kRegistration), 1u);

    // The same radios again tell the user nothing; a radio gone from the list is reported.
    notices.clear();
    ASSERT_TRUE(serverSays(kList, [&] { return listChanges.size() == 2; }));
    EXPECT_TRUE(notices.empty());
    ASSERT_TRUE(serverSays("radio list serial=5555-6666-7777-8888 status=Available|\n",
                           [&] { return listChanges.size() == 3; }));
    EXPECT_EQ(notices, (std::vector<Notice>{{"Remote radio removed",
                                             "Remote radio 1111-2222-3333-4444 Shack removed. "
                                             "Status: Available"}}));
    EXPECT_NE(wan->remoteRadios()[0], radios[1]) << "every list builds fresh records";
}

// A list and the radio's handle in one read: two messages, the second finding the first's radio.
TEST_F(WanServerLink, ConnectReadyBehindTheListGivesTheListedRadioItsHandle) {
    startTrusted();
    connectAndRegister();
    wan->sendConnectMessageToRadio("1111-2222-3333-4444");
    ASSERT_TRUE(runMainUntil([&] {
        return server->count("application connect serial=1111-2222-3333-4444 hole_punch_port=0") ==
               1;
    }));
    ASSERT_TRUE(serverSays(
        std::string(kList) + "radio connect_ready handle=0x7A11C0DE serial=1111-2222-3333-4444\n",
        [&] { return !readyRadios.empty(); }));
    ASSERT_EQ(readyRadios.size(), 1u);
    EXPECT_EQ(readyRadios[0]->wanHandle, "0x7A11C0DE");
    EXPECT_EQ(readyRadios[0]->publicIp, "127.0.0.2");
    EXPECT_EQ(wan->remoteRadioforSerial("1111-2222-3333-4444"), readyRadios[0]);
    EXPECT_EQ(authComplete, 1) << "the list's, and none for the radio made ready";
}

struct ReadyFailure {
    const char* name;
    const char* message;
    const char* log;
};

void PrintTo(const ReadyFailure& c, std::ostream* os) { *os << c.name; }

class WanServerReadyFailure : public test::WanServerFixture,
                              public ::testing::WithParamInterface<ReadyFailure> {};

TEST_P(WanServerReadyFailure, IsLoggedAndEndsTheExchange) {
    startTrusted();
    connectAndRegister();
    ASSERT_TRUE(serverSays(kList, [&] { return authComplete == 1; }));
    LogCapture capture;
    ASSERT_TRUE(
        serverSays(std::string(GetParam().message) + "\n", [&] { return authComplete == 2; }));
    EXPECT_TRUE(capture.contains(GetParam().log));
    EXPECT_TRUE(readyRadios.empty());
    EXPECT_FALSE(wan->remoteRadios()[0]->wanHandle);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, WanServerReadyFailure,
    ::testing::Values(
        ReadyFailure{"NoHandle", "radio connect_ready serial=1111-2222-3333-4444",
                     "WanServer:ParseRadioConnectReadyMessage:missing handle or "
                     "serial:[1111-2222-3333-4444]"},
        ReadyFailure{"NoSerial", "radio connect_ready handle=0x1",
                     "WanServer:ParseRadioConnectReadyMessage:missing handle or serial:[]"},
        ReadyFailure{"UnlistedRadio", "radio connect_ready handle=0x1 serial=9-9-9-9",
                     "WanServer:ParseRadioConnectReadyMessage:failed to find radioInstance for "
                     "serial:[9-9-9-9]"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

struct RefusedCertificate {
    const char* name;
    const test::TestIdentity& (*identity)();
    const char* reason;
};

void PrintTo(const RefusedCertificate& c, std::ostream* os) { *os << c.name; }

class WanServerRefused : public test::WanServerFixture,
                         public ::testing::WithParamInterface<RefusedCertificate> {};

// The user hears of it once; nothing is said in the clear and nothing tries again by itself.
TEST_P(WanServerRefused, TellsTheUserOnceAndDoesNotRetry) {
    start(GetParam().identity());
    LogCapture capture;
    wan->connectWanServer();
    ASSERT_TRUE(runMainUntil([&] { return delegate->unchecks == 1; }));
    EXPECT_FALSE(wan->connected());
    EXPECT_EQ(server->secured(), 0);
    EXPECT_TRUE(delegate->readyCallbacks.empty());
    EXPECT_EQ(delegate->statuses.back(), false);
    EXPECT_FALSE(wan->pingTimer());
    EXPECT_EQ(notices, (std::vector<Notice>{{"DoroLink server refused",
                                             std::string("The DoroLink server \"localhost\" was "
                                                         "refused: ") +
                                                 GetParam().reason}}));
    EXPECT_TRUE(capture.contains("WanServer:socketDidDisconnect:"));

    test::advanceBarrier(DispatchQueue::main(), WanServer::kSecureTimeout + 1s);
    serverCaughtUp();
    EXPECT_EQ(server->accepted(), 1);
    EXPECT_EQ(notices.size(), 1u);
    EXPECT_TRUE(server->lines().empty());

    // The next connect comes from the owner, and is judged anew.
    wan->connectWanServer();
    ASSERT_TRUE(runMainUntil([&] { return delegate->unchecks == 2; }));
    serverCaughtUp();
    EXPECT_EQ(server->accepted(), 2);
    EXPECT_EQ(notices.size(), 2u);
}

const test::TestIdentity& otherName() { return test::doroLinkCertificates().otherName; }
const test::TestIdentity& expired() { return test::doroLinkCertificates().expired; }

INSTANTIATE_TEST_SUITE_P(
    Certificates, WanServerRefused,
    ::testing::Values(RefusedCertificate{"WrongHostName", otherName,
                                         "The peer's certificate is not valid for the peer name"},
                      RefusedCertificate{"Expired", expired, "The peer's certificate has expired"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// A server that takes the connection and never answers the handshake.
TEST_F(WanServerLink, GivesUpAHandshakeThatDoesNotEnd) {
    DoroLinkTestServer::Options options;
    options.completeHandshakes = false;
    startTrusted(options);
    wan->connectWanServer();
    ASSERT_TRUE(runMainUntil([&] { return wan->connected(); }));
    test::advanceBarrier(DispatchQueue::main(), WanServer::kSecureTimeout - 1s);
    EXPECT_TRUE(wan->connected());
    test::advanceBarrier(DispatchQueue::main(), 1s);
    ASSERT_TRUE(runMainUntil([&] { return delegate->unchecks == 1; }));
    EXPECT_FALSE(wan->connected());
    EXPECT_EQ(notices,
              (std::vector<Notice>{{"DoroLink server not answering",
                                    "No secure connection to the DoroLink server \"localhost\" "
                                    "within 30 seconds"}}));
    test::advanceBarrier(DispatchQueue::main(), WanServer::kSecureTimeout);
    serverCaughtUp();
    EXPECT_EQ(server->accepted(), 1);
    EXPECT_EQ(notices.size(), 1u);
}

// Pings every 10 s keep the link; 30 s without one and the server ends it, saying why.
TEST_F(WanServerLink, ThirtySecondsWithoutPingsEndTheConnection) {
    DoroLinkTestServer::Options options;
    options.pingWindow = 30s;
    startTrusted(options);
    connectAndRegister();
    ASSERT_TRUE(runMainUntil([&] { return server->count("ping from client") == 1; }));
    test::mainQueueBarrier();
    for (std::size_t pings = 2; pings <= 5; ++pings) {
        delegate->statuses.clear();
        test::advanceBarrier(DispatchQueue::main(), WanServer::kPingInterval);
        ASSERT_TRUE(runMainUntil([&] { return server->count("ping from client") == pings; }));
        EXPECT_EQ(delegate->statuses, std::vector<bool>{true}) << "each ping flashes the light";
    }
    EXPECT_EQ(server->ended(), 0);

    LogCapture capture;
    server->losePings(true);
    test::advanceBarrier(DispatchQueue::main(), 20s);
    serverCaughtUp();
    EXPECT_TRUE(wan->connected());
    EXPECT_FALSE(capture.contains("lack of ping"));
    test::advanceBarrier(DispatchQueue::main(), 10s);
    ASSERT_TRUE(runMainUntil([&] { return delegate->unchecks == 1; }));
    EXPECT_TRUE(capture.contains("WanServer:Disconnecting: Disconnecting due to lack of ping"));
    EXPECT_EQ(authComplete, 1);
    EXPECT_FALSE(wan->connected());
    EXPECT_FALSE(wan->pingTimer());
    EXPECT_EQ(notices, (std::vector<Notice>{{"DoroLink server disconnected",
                                             "The DoroLink server \"localhost\" closed the "
                                             "connection: Disconnecting due to lack of ping"}}));
}

// Turning DoroLink off ends the link at once, so that turning it on again connects anew.
TEST_F(WanServerLink, ACommandedDisconnectLetsTheNextConnectRegisterAgain) {
    startTrusted();
    connectAndRegister();
    ASSERT_TRUE(serverSays(kList, [&] { return listChanges.size() == 1; }));
    const std::size_t told = notices.size();

    wan->disconnectWanServer();
    EXPECT_FALSE(wan->connected());
    EXPECT_FALSE(wan->pingTimer());
    EXPECT_TRUE(wan->remoteRadios().empty());
    EXPECT_EQ(authComplete, 2);
    ASSERT_EQ(listChanges.size(), 2u);
    EXPECT_EQ(listChanges.back(), nullptr);
    EXPECT_EQ(delegate->statuses.back(), false);
    ASSERT_TRUE(runMainUntil([&] { return server->ended() == 1; }));
    test::mainQueueBarrier();
    EXPECT_EQ(delegate->unchecks, 0) << "the check box went off by the user's hand";
    EXPECT_EQ(notices.size(), told) << "nothing to report to the user who asked for it";

    connectAndRegister();
    EXPECT_EQ(server->count(kRegistration), 2u);
    EXPECT_EQ(server->lines().back().session, 2);
}

// The server hangs up in the middle of a message: the piece is dropped, the user told once.
TEST_F(WanServerLink, AServerThatClosesMidLineLeavesNoHalfMessage) {
    startTrusted();
    connectAndRegister();
    LogCapture capture;
    server->send("radio list radio_name=Half serial=1111-2222-");
    server->closeSession();
    ASSERT_TRUE(runMainUntil([&] { return delegate->unchecks == 1; }));
    EXPECT_TRUE(listChanges.size() == 1 && listChanges[0] == nullptr)
        << "only the emptied list is announced";
    EXPECT_EQ(authComplete, 0);
    EXPECT_TRUE(
        capture.contains("WanServer:socketDidDisconnect:dropped 44 bytes of an unfinished "
                         "message"));
    EXPECT_EQ(notices,
              (std::vector<Notice>{{"DoroLink server disconnected",
                                    "The DoroLink server \"localhost\" closed the connection"}}));

    // Its registration counts no more: the next connection registers again.
    connectAndRegister();
    EXPECT_EQ(server->count(kRegistration), 2u);
}

}  // namespace
}  // namespace vm
