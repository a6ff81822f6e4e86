// TLS on the TCP socket: the handshake against `openssl s_server` and against an OpenSSL peer,
// reads and writes of every kind across the upgrade, ciphertext that arrived with the last
// plaintext, a server socket, large writes and the peer's close during the handshake.
#include "net/TcpSocketError.h"
#include "net/TlsTestSupport.h"
#include "support/tls/OpensslServer.h"

#include <gmock/gmock.h>
#include <openssl/ssl.h>

#include <future>

namespace vm::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Pair;
using namespace std::chrono_literals;

const Bytes kLF = "\n";

struct ServerVersion {
    const char* name;
    const char* option;
    const char* printed;
};
void PrintTo(const ServerVersion& c, std::ostream* os) { *os << c.name; }

class TlsAgainstOpensslServer : public ::testing::TestWithParam<ServerVersion> {};

TEST_P(TlsAgainstOpensslServer, HandshakeThenEveryKindOfRead) {
    const TlsFixtures& f = tlsFixtures();
    OpensslServer server(f.folder, f.localhost.certificatePem, f.localhost.keyPem,
                         {GetParam().option});
    ASSERT_TRUE(server.started()) << server.output();

    TlsClient client(server.port());
    client.sock->startTLS({{kCFStreamSSLPeerName, "localhost"}});
    // The server answers each line reversed.
    client.sock->writeData("hello\nabcdef\n", -1, 1);
    client.sock->readDataToData(kLF, -1, 10);
    client.sock->readDataToLength(3, -1, 11);
    client.sock->readDataToData(kLF, -1, 12);
    ASSERT_TRUE(waitFor([&] { return client.delegate->reads.size() == 3; })) << server.output();
    EXPECT_EQ(client.delegate->secured, 1);
    EXPECT_TRUE(client.sock->isSecure());
    EXPECT_THAT(client.delegate->reads,
                ElementsAre(Pair(10, "olleh\n"), Pair(11, "fed"), Pair(12, "cba\n")));

    // A read of whatever is there takes part or all of the next answer.
    client.sock->writeData("xyz\n", -1, 2);
    client.sock->readDataWithTimeout(-1, 13);
    ASSERT_TRUE(waitFor([&] { return client.delegate->reads.size() == 4; }));
    const Bytes available = client.delegate->reads[3].second;
    EXPECT_FALSE(available.empty());
    EXPECT_EQ(Bytes("zyx\n").substr(0, available.size()), available);
    EXPECT_THAT(client.delegate->writes, ElementsAre(1, 2));
    EXPECT_THAT(server.output(), HasSubstr(std::string("Protocol version: ") + GetParam().printed));

    client.sock->disconnect();
    EXPECT_TRUE(client.delegate->disconnects.empty() ||
                !client.delegate->disconnects.front().has_value());
}

INSTANTIATE_TEST_SUITE_P(Versions, TlsAgainstOpensslServer,
                         ::testing::Values(ServerVersion{"Tls12", "-tls1_2", "TLSv1.2"},
                                           ServerVersion{"Tls13", "-tls1_3", "TLSv1.3"}),
                         CaseName());

// Reads and a write queued before the upgrade complete in plaintext; those after it, of every
// kind and in pieces, go through TLS. A second upgrade request is ignored.
TEST(TlsUpgrade, PlaintextFirstThenEveryKindOfReadThroughTls) {
    const TlsFixtures& f = tlsFixtures();
    TlsPair pair;
    TlsPeer peer(TlsPeerContext::server(f.localhost.identityPem()), pair.peer.release());
    std::promise<void> firstPieceSeen;
    std::promise<void> secondPieceSeen;
    PeerScript script([&, first = firstPieceSeen.get_future().share(),
                       second = secondPieceSeen.get_future().share()] {
        if (!peer.sendPlain("PLAIN\n") || peer.receivePlainLine() != "STARTTLS\n") return false;
        if (!peer.handshake() || !peer.write("line A\nABCDE")) return false;
        if (peer.readLine() != "secret\n" || !peer.write("12345")) return false;
        first.wait();
        if (!peer.write("67890ab")) return false;
        second.wait();
        return peer.write("c\ntail");
    });

    TcpSocket& sock = *pair.sock;
    sock.readDataToData(kLF, -1, 1);
    sock.writeData("STARTTLS\n", -1, 2);
    sock.startTLS(
        {{kCFStreamSSLPeerName, "localhost"}, {kTcpSocketSSLSessionOptionSendOneByteRecord, true}});
    sock.startTLS({{kCFStreamSSLLevel, 1}});  // would close the socket if it were not ignored
    sock.readDataToData(kLF, -1, 3);
    sock.readDataToLength(5, -1, 4);
    sock.writeData("secret\n", -1, 5);
    sock.readDataToLength(10, -1, 6);
    sock.readDataToData(kLF, -1, 7);
    sock.readDataWithTimeout(-1, 8);

    const auto& d = *pair.delegate;
    ASSERT_TRUE(waitFor([&] { return !d.partialReads.empty(); }));
    firstPieceSeen.set_value();
    ASSERT_TRUE(waitFor([&] { return d.partialReads.size() == 2; }));
    secondPieceSeen.set_value();
    ASSERT_TRUE(waitFor([&] { return d.reads.size() == 6; })) << peer.error();
    EXPECT_TRUE(script.result()) << peer.error();

    EXPECT_EQ(d.secured, 1);
    EXPECT_THAT(d.writes, ElementsAre(2, 5));
    EXPECT_THAT(d.partialReads, ElementsAre(Pair(6, 5u), Pair(7, 2u)));
    EXPECT_THAT(d.reads, ElementsAre(Pair(1, "PLAIN\n"), Pair(3, "line A\n"), Pair(4, "ABCDE"),
                                     Pair(6, "1234567890"), Pair(7, "abc\n"), Pair(8, "tail")));
    EXPECT_TRUE(d.disconnects.empty());
}

// The client's first flight comes in the same segment as its last plaintext line: the bytes
// after the line are the first the server socket's engine reads.
TEST(TlsUpgrade, ServerSocketTakesCiphertextThatCameWithTheLastLine) {
    const TlsFixtures& f = tlsFixtures();
    TlsPair pair;
    TlsPeer peer(TlsPeerContext::client(), pair.peer.release());
    const TlsSettings serverSettings = {
        {kCFStreamSSLIsServer, true},
        {kCFStreamSSLCertificates, certificatesSetting(f.localhost)},
        {kTcpSocketSSLDiffieHellmanParameters, plistData(pki::diffieHellmanParametersPem())}};
    pair.delegate->afterRead = [&](const TcpSocketPtr& sock, long tag) {
        if (tag == 1) {
            sock->startTLS(serverSettings);
            sock->readDataToData(kLF, -1, 2);
            sock->writeData("pong\n", -1, 3);
        }
    };
    pair.sock->readDataToData(kLF, -1, 1);
    PeerScript script([&] {
        return peer.handshake("hello\n") && peer.write("ping\n") && peer.readLine() == "pong\n";
    });

    ASSERT_TRUE(waitFor([&] {
        return pair.delegate->writes.size() == 1 && pair.delegate->reads.size() == 2;
    })) << peer.error();
    EXPECT_TRUE(script.result()) << peer.error();
    EXPECT_EQ(pair.delegate->secured, 1);
    EXPECT_THAT(pair.delegate->reads, ElementsAre(Pair(1, "hello\n"), Pair(2, "ping\n")));
}

// A write far larger than the socket buffers waits for the descriptor between its pieces. The
// peer reads only once the writer has had to wait: a reader that keeps up would never let the
// descriptor fill.
TEST(TlsUpgrade, LargeWriteResumesAfterTheDescriptorFills) {
    const TlsFixtures& f = tlsFixtures();
    TlsPair pair(4096);
    TlsPeer peer(TlsPeerContext::server(f.localhost.identityPem()), pair.peer.release());
    Bytes big(4 * 1024 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 7 % 251);
    std::promise<void> descriptorFull;
    PeerScript script([&, full = descriptorFull.get_future().share()] {
        return peer.handshake() &&
               full.wait_for(std::chrono::seconds(60)) == std::future_status::ready &&
               peer.read(big.size()) == big;
    });

    pair.sock->startTLS({{kCFStreamSSLPeerName, "localhost"}});
    pair.sock->writeData(big, -1, 9);
    const bool waited =
        waitFor([&] { return !pair.delegate->partialWrites.empty(); }, std::chrono::seconds(60));
    descriptorFull.set_value();
    ASSERT_TRUE(waited);
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->writes.empty(); }, std::chrono::seconds(60)));
    EXPECT_TRUE(script.result()) << peer.error();
    EXPECT_THAT(pair.delegate->writes, ElementsAre(9));
    EXPECT_TRUE(pair.delegate->disconnects.empty());
}

struct PeerEnding {
    const char* name;
    bool closeAlert;  // false: the connection just ends
    const char* domain;
    long code;
};
void PrintTo(const PeerEnding& c, std::ostream* os) { *os << c.name; }

class TlsSessionEnd : public ::testing::TestWithParam<PeerEnding> {};

// The bytes before the end are still read; a close alert is the peer's orderly close (code 7),
// a session cut short is a TLS error.
TEST_P(TlsSessionEnd, PendingReadSeesTheLastBytesThenTheClose) {
    const TlsFixtures& f = tlsFixtures();
    TlsPair pair;
    TlsPeer peer(TlsPeerContext::server(f.localhost.identityPem()), pair.peer.release());
    PeerScript script([&] {
        if (!peer.handshake() || !peer.write("bye\n")) return false;
        if (GetParam().closeAlert) peer.shutdown();
        peer.closeConnection();
        return true;
    });
    pair.sock->startTLS({{kCFStreamSSLPeerName, "localhost"}});
    pair.sock->readDataToData(kLF, -1, 1);
    pair.sock->readDataToData(kLF, -1, 2);

    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_TRUE(script.result()) << peer.error();
    EXPECT_THAT(pair.delegate->reads, ElementsAre(Pair(1, "bye\n")));
    EXPECT_EQ(error.domain, GetParam().domain);
    EXPECT_EQ(error.code, GetParam().code) << error.description;
}

INSTANTIATE_TEST_SUITE_P(
    Ends, TlsSessionEnd,
    ::testing::Values(PeerEnding{"CloseAlert", true, kTcpSocketErrorDomain,
                                 static_cast<long>(TcpSocketErrorCode::Closed)},
                      PeerEnding{"CutShort", false, kTlsErrorDomain, errSSLClosedAbort}),
    CaseName());

TEST(TlsUpgrade, PeerClosingDuringTheHandshakeIsAnAbortedSession) {
    TlsPair pair;
    pair.sock->startTLS({{kCFStreamSSLPeerName, "localhost"}});
    // The client's first flight arrives; the peer takes it and hangs up.
    ASSERT_TRUE(waitReadable(pair.peer.get()));
    char flight[65536];
    while (::recv(pair.peer.get(), flight, sizeof flight, MSG_DONTWAIT) > 0) {
    }
    ::shutdown(pair.peer.get(), SHUT_RDWR);
    pair.peer.reset();

    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_EQ(error.domain, kTlsErrorDomain);
    EXPECT_EQ(error.code, errSSLClosedAbort);
    EXPECT_EQ(pair.delegate->secured, 0);
}

TEST(TlsUpgrade, AServerOfTls11OnlyIsRefused) {
    TlsPair pair;
    auto context = TlsPeerContext::server(tlsFixtures().localhost.identityPem());
    context->versions(TLS1_1_VERSION, TLS1_1_VERSION);
    TlsPeer peer(context, pair.peer.release());
    PeerScript script([&] { return peer.handshake(); });
    // Even a minimum asked below TLS 1.2 leaves TLS 1.2 the least version.
    pair.sock->startTLS(
        {{kCFStreamSSLPeerName, "localhost"}, {kTcpSocketSSLProtocolVersionMin, kTlsProtocol1}});

    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_EQ(error.domain, kTlsErrorDomain);
    EXPECT_EQ(error.code, errSSLProtocol);
    EXPECT_EQ(pair.delegate->secured, 0);
    EXPECT_FALSE(script.result());
}

// A peer that takes the client's first flight and never answers: the handshake ends with the
// connection's own time-out, or the fixed one when the connection has none.
struct StallCase {
    std::string name;
    double connectTimeout;
    std::chrono::seconds quiet;   // still handshaking after this long
    std::chrono::seconds closed;  // timed out after this much more
};
void PrintTo(const StallCase& c, std::ostream* out) { *out << c.name; }

class TlsStall : public ::testing::TestWithParam<StallCase> {};

TEST_P(TlsStall, EndsInATimeOut) {
    const StallCase& c = GetParam();
    TlsPair pair(0, false, c.connectTimeout);
    pair.sock->startTLS({{kCFStreamSSLPeerName, "localhost"}});
    ASSERT_TRUE(waitReadable(pair.peer.get()));  // the handshake, and its timer, have started

    DispatchClock::advance(c.quiet);
    drainSocketAndMain(pair.sock);
    EXPECT_TRUE(pair.delegate->disconnects.empty());
    DispatchClock::advance(c.closed);
    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_EQ(error.domain, kTcpSocketErrorDomain);
    EXPECT_EQ(error.code, static_cast<long>(TcpSocketErrorCode::ConnectTimeout));
    EXPECT_EQ(error.failureReason, "The TLS handshake did not finish in time");
    EXPECT_EQ(pair.delegate->secured, 0);
}

INSTANTIATE_TEST_SUITE_P(Handshakes, TlsStall,
                         ::testing::Values(StallCase{"ConnectionTimeout", 10.0, 9s, 2s},
                                           StallCase{"FixedTimeout", -1.0, 29s, 2s}),
                         CaseName());

}  // namespace
}  // namespace vm::test
