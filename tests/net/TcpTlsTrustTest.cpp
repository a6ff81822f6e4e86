// Trust in the server: verification against the trust store and the peer name, and evaluation by
// the delegate with its one-shot answer.
#include "net/TcpSocketError.h"
#include "net/TlsTestSupport.h"

#include <gmock/gmock.h>

#include <thread>

namespace vm::test {
namespace {

using ::testing::HasSubstr;

// A server peer with `identity` on the other end of `pair`, handshaking on a thread of its own.
struct ServerPeer {
    TlsPeer peer;
    PeerScript script;

    ServerPeer(TlsPair& pair, const TestIdentity& identity)
        : peer(TlsPeerContext::server(identity.identityPem()), pair.peer.release()),
          script([this] { return peer.handshake() && peer.write("ok\n"); }) {}
};

struct VerificationCase {
    const char* name;
    const TestIdentity TlsFixtures::*identity;
    const char* peerName;  // null: none given
    TlsStatus expected;    // tlsSuccess: the handshake completes
    const char* saying;    // in the error's description
};
void PrintTo(const VerificationCase& c, std::ostream* os) { *os << c.name; }

class TlsVerification : public ::testing::TestWithParam<VerificationCase> {};

TEST_P(TlsVerification, ServerIsCheckedAgainstTrustStoreAndPeerName) {
    const VerificationCase& c = GetParam();
    TlsPair pair;
    ServerPeer server(pair, tlsFixtures().*c.identity);
    TlsSettings settings;
    if (c.peerName) settings[kCFStreamSSLPeerName] = c.peerName;
    pair.sock->startTLS(settings);

    if (c.expected == tlsSuccess) {
        pair.sock->readDataToData("\n", -1, 1);
        ASSERT_TRUE(waitFor([&] { return !pair.delegate->reads.empty(); }));
        EXPECT_EQ(pair.delegate->secured, 1);
        EXPECT_EQ(pair.delegate->reads.front().second, "ok\n");
        EXPECT_TRUE(server.script.result()) << server.peer.error();
        return;
    }
    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_EQ(error.domain, kTlsErrorDomain);
    EXPECT_EQ(error.code, c.expected) << error.description << " / " << error.failureReason;
    EXPECT_THAT(error.description, HasSubstr(c.saying));
    EXPECT_FALSE(error.failureReason.empty());
    EXPECT_EQ(pair.delegate->secured, 0);
    EXPECT_FALSE(server.script.result());
}

INSTANTIATE_TEST_SUITE_P(
    Certificates, TlsVerification,
    ::testing::Values(
        VerificationCase{"TrustedForName", &TlsFixtures::localhost, "localhost", tlsSuccess, ""},
        VerificationCase{"TrustedForAddress", &TlsFixtures::localhost, "127.0.0.1", tlsSuccess, ""},
        VerificationCase{"OtherNameWithoutPeerName", &TlsFixtures::otherName, nullptr, tlsSuccess,
                         ""},
        VerificationCase{"OtherName", &TlsFixtures::otherName, "localhost", errSSLHostNameMismatch,
                         "not valid for the peer name"},
        VerificationCase{"Expired", &TlsFixtures::expired, "localhost", errSSLCertExpired,
                         "has expired"},
        VerificationCase{"UnknownAuthority", &TlsFixtures::unknownAuthority, "localhost",
                         errSSLUnknownRootCert, "unknown authority"}),
    CaseName());

const TlsSettings kManual = {{kTcpSocketManuallyEvaluateTrust, true}};

TEST(TlsManualTrust, YesContinuesWithACertificateTheStoreWouldRefuse) {
    TlsPair pair;
    pair.delegate->trustAnswer = true;
    ServerPeer server(pair, tlsFixtures().unknownAuthority);
    pair.sock->startTLS(kManual);
    pair.sock->readDataToData("\n", -1, 1);

    ASSERT_TRUE(waitFor([&] { return !pair.delegate->reads.empty(); }));
    EXPECT_EQ(pair.delegate->secured, 1);
    ASSERT_EQ(pair.delegate->trusts.size(), 1u);
    const TlsTrust& trust = pair.delegate->trusts.front();
    ASSERT_FALSE(trust.certificates.empty());
    EXPECT_EQ(trust.certificates.front(), tlsFixtures().unknownAuthority.certificateDer);
    EXPECT_EQ(pki::commonNameOf(trust.certificates.front()), "localhost");
    EXPECT_TRUE(server.script.result()) << server.peer.error();
}

TEST(TlsManualTrust, NoClosesWithBadCertificateAndLaterAnswersDoNothing) {
    TlsPair pair;
    pair.delegate->trustAnswer = false;
    ServerPeer server(pair, tlsFixtures().localhost);
    pair.sock->startTLS(kManual);

    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_EQ(error.domain, kTlsErrorDomain);
    EXPECT_EQ(error.code, errSSLPeerBadCert);
    EXPECT_EQ(pair.delegate->secured, 0);
    EXPECT_FALSE(server.script.result());

    // A second answer, even a yes, reaches nothing.
    ASSERT_EQ(pair.delegate->trustHandlers.size(), 1u);
    const TlsTrustCompletionHandler handler = pair.delegate->trustHandlers.front();
    handler(true);
    drainSocketAndMain(pair.sock);
    EXPECT_EQ(pair.delegate->disconnects.size(), 1u);
    EXPECT_EQ(pair.delegate->secured, 0);
    EXPECT_FALSE(pair.sock->isSecure());

    // Nor once the socket is gone.
    pair.sock.reset();
    handler(true);
}

TEST(TlsManualTrust, AnswerFromAnotherThreadLater) {
    TlsPair pair;
    ServerPeer server(pair, tlsFixtures().localhost);
    pair.sock->startTLS(kManual);
    ASSERT_TRUE(waitFor([&] { return !pair.delegate->trustHandlers.empty(); }));
    std::thread([handler = pair.delegate->trustHandlers.front()] { handler(true); }).join();

    ASSERT_TRUE(waitFor([&] { return pair.delegate->secured == 1; }));
    EXPECT_TRUE(server.script.result()) << server.peer.error();
}

TEST(TlsManualTrust, DelegateThatDoesNotEvaluateClosesTheSocket) {
    TlsPair pair;
    pair.delegate->evaluatesTrust = false;
    ServerPeer server(pair, tlsFixtures().localhost);
    pair.sock->startTLS(kManual);

    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_EQ(error.domain, kTcpSocketErrorDomain);
    EXPECT_EQ(error.code, static_cast<long>(TcpSocketErrorCode::Other));
    EXPECT_EQ(error.description,
              "TcpSocketManuallyEvaluateTrust specified in tlsSettings, but delegate doesn't "
              "implement socket:shouldTrustPeer:");
    EXPECT_FALSE(server.script.result());
}

}  // namespace
}  // namespace vm::test
