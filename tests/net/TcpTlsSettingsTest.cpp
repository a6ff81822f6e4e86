// The settings of a TLS upgrade: refusals with their messages, in the order they are checked, and
// what the accepted ones do to the session a peer sees.
#include "net/TcpSocketError.h"
#include "net/TlsTestSupport.h"

#include <openssl/ssl.h>

#include <gmock/gmock.h>

namespace vm::test {
namespace {

struct RefusedCase {
    const char* name;
    TlsSettings settings;
    const char* message;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class TlsRefusedSetting : public ::testing::TestWithParam<RefusedCase> {};

// The checks run before any byte of the handshake: a plain peer is enough.
TEST_P(TlsRefusedSetting, ClosesWithTheMessage) {
    TlsPair pair;
    pair.sock->startTLS(GetParam().settings);
    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_EQ(error.domain, kTcpSocketErrorDomain);
    EXPECT_EQ(error.code, static_cast<long>(TcpSocketErrorCode::Other));
    EXPECT_EQ(error.description, GetParam().message);
    EXPECT_EQ(pair.delegate->secured, 0);
}

PlistArray numbers(std::initializer_list<long> values) {
    PlistArray out;
    for (const long v : values)
        out.emplace_back(v);
    return out;
}

const RefusedCase kRefused[] = {
    {"IsServerNotBoolean",
     {{kCFStreamSSLIsServer, "yes"}},
     "Invalid value for kCFStreamSSLIsServer."},
    {"ManualNotBoolean",
     {{kTcpSocketManuallyEvaluateTrust, PlistArray{}}},
     "Invalid value for TcpSocketManuallyEvaluateTrust."},
    {"ManualOnServer",
     {{kCFStreamSSLIsServer, true}, {kTcpSocketManuallyEvaluateTrust, true}},
     "Manual trust validation is not supported for server sockets"},
    {"PeerNameNumber", {{kCFStreamSSLPeerName, 42}}, "Invalid value for kCFStreamSSLPeerName."},
    {"CertificatesNotArray",
     {{kCFStreamSSLCertificates, "cert"}},
     "Invalid value for kCFStreamSSLCertificates."},
    {"CertificatesUnreadable",
     {{kCFStreamSSLCertificates, PlistArray{plistData("not a key")}}},
     "Error in SSLSetCertificate"},
    {"PeerIdText", {{kTcpSocketSSLPeerID, "id"}}, "Invalid value for TcpSocketSSLPeerID."},
    {"VersionMinText",
     {{kTcpSocketSSLProtocolVersionMin, "1.2"}},
     "Invalid value for TcpSocketSSLProtocolVersionMin."},
    {"VersionMinUnknown",
     {{kTcpSocketSSLProtocolVersionMin, 0x0399}},
     "Error in SSLSetProtocolVersionMin"},
    {"VersionMaxText",
     {{kTcpSocketSSLProtocolVersionMax, "1.3"}},
     "Invalid value for TcpSocketSSLProtocolVersionMax."},
    {"VersionMaxUnknown",
     {{kTcpSocketSSLProtocolVersionMax, 2}},
     "Error in SSLSetProtocolVersionMax"},
    {"FalseStartText",
     {{kTcpSocketSSLSessionOptionFalseStart, "on"}},
     "Invalid value for TcpSocketSSLSessionOptionFalseStart."},
    {"FalseStartOn",
     {{kTcpSocketSSLSessionOptionFalseStart, true}},
     "Error in SSLSetSessionOption (kSSLSessionOptionFalseStart)"},
    {"OneByteRecordText",
     {{kTcpSocketSSLSessionOptionSendOneByteRecord, "on"}},
     "Invalid value for TcpSocketSSLSessionOptionSendOneByteRecord."},
    {"CipherSuitesNotArray",
     {{kTcpSocketSSLCipherSuites, 0xC02B}},
     "Invalid value for TcpSocketSSLCipherSuites."},
    {"CipherSuiteNotNumber",
     {{kTcpSocketSSLCipherSuites, PlistArray{"ECDHE"}}},
     "Invalid value for TcpSocketSSLCipherSuites."},
    {"CipherSuiteUnknown",
     {{kTcpSocketSSLCipherSuites, numbers({0xC02B, 0xFEFE})}},
     "Error in SSLSetEnabledCiphers"},
    {"CipherSuiteBeyond16Bits",
     {{kTcpSocketSSLCipherSuites, numbers({0x1C02B})}},
     "Error in SSLSetEnabledCiphers"},
    {"DiffieHellmanText",
     {{kTcpSocketSSLDiffieHellmanParameters, "dh"}},
     "Invalid value for TcpSocketSSLDiffieHellmanParameters."},
    {"DiffieHellmanUnreadable",
     {{kTcpSocketSSLDiffieHellmanParameters, plistData("dh")}},
     "Error in SSLSetDiffieHellmanParams"},
    {"AlpnNotArray", {{kTcpSocketSSLALPN, "radio"}}, "Invalid value for TcpSocketSSLALPN."},
    {"AlpnEmptyName", {{kTcpSocketSSLALPN, PlistArray{""}}}, "Error in SSLSetALPNProtocols"},
    {"AllowsAnyRoot",
     {{kCFStreamSSLAllowsAnyRoot, true}},
     "Security option unavailable - kCFStreamSSLAllowsAnyRoot"},
    {"AllowsExpiredRoots",
     {{kCFStreamSSLAllowsExpiredRoots, true}},
     "Security option unavailable - kCFStreamSSLAllowsExpiredRoots"},
    {"ValidatesCertificateChain",
     {{kCFStreamSSLValidatesCertificateChain, false}},
     "Security option unavailable - kCFStreamSSLValidatesCertificateChain"},
    {"AllowsExpiredCertificates",
     {{kCFStreamSSLAllowsExpiredCertificates, true}},
     "Security option unavailable - kCFStreamSSLAllowsExpiredCertificates"},
    {"Level",
     {{kCFStreamSSLLevel, "kCFStreamSocketSecurityLevelTLSv1"}},
     "Security option unavailable - kCFStreamSSLLevel"},
    // Several refusals: the first check in order speaks.
    {"PeerNameBeforeCiphersAndLegacyKeys",
     {{kCFStreamSSLLevel, 1}, {kTcpSocketSSLCipherSuites, "x"}, {kCFStreamSSLPeerName, 1}},
     "Invalid value for kCFStreamSSLPeerName."},
    {"AlpnBeforeLegacyKeys",
     {{kCFStreamSSLAllowsAnyRoot, true}, {kTcpSocketSSLALPN, 1}},
     "Invalid value for TcpSocketSSLALPN."},
};

INSTANTIATE_TEST_SUITE_P(Settings, TlsRefusedSetting, ::testing::ValuesIn(kRefused), CaseName());

// Accepted settings, as the server peer sees the session they made.
struct SessionCase {
    const char* name;
    TlsSettings settings;
    std::vector<std::string> serverAlpn;
    int serverMaxVersion;  // 0: the library's
    int version;           // negotiated
    int cipher;            // negotiated, 0: any
    const char* alpn;
};
void PrintTo(const SessionCase& c, std::ostream* os) { *os << c.name; }

class TlsAcceptedSetting : public ::testing::TestWithParam<SessionCase> {};

TEST_P(TlsAcceptedSetting, ShapesTheSession) {
    const SessionCase& c = GetParam();
    TlsPair pair;
    auto context = TlsPeerContext::server(tlsFixtures().localhost.identityPem());
    if (!c.serverAlpn.empty()) context->alpn(c.serverAlpn);
    if (c.serverMaxVersion) context->versions(0, c.serverMaxVersion);
    TlsPeer peer(context, pair.peer.release());
    PeerScript script([&] { return peer.handshake(); });
    TlsSettings settings = c.settings;
    settings[kCFStreamSSLPeerName] = "localhost";
    pair.sock->startTLS(settings);

    ASSERT_TRUE(waitFor([&] { return pair.delegate->secured == 1; }));
    ASSERT_TRUE(script.result()) << peer.error();
    EXPECT_EQ(peer.version(), c.version);
    if (c.cipher) {
        EXPECT_EQ(peer.cipherId(), c.cipher);
    }
    EXPECT_EQ(peer.selectedAlpn(), c.alpn);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, TlsAcceptedSetting,
    ::testing::Values(SessionCase{"Defaults", {}, {}, 0, TLS1_3_VERSION, 0, ""},
                      SessionCase{"MaxVersion12",
                                  {{kTcpSocketSSLProtocolVersionMax, kTlsProtocol12}},
                                  {},
                                  0,
                                  TLS1_2_VERSION,
                                  0,
                                  ""},
                      SessionCase{"MinVersion12AgainstOlderServer",
                                  {{kTcpSocketSSLProtocolVersionMin, kTlsProtocol12}},
                                  {},
                                  TLS1_2_VERSION,
                                  TLS1_2_VERSION,
                                  0,
                                  ""},
                      SessionCase{"Tls12Suite",
                                  {{kTcpSocketSSLCipherSuites, numbers({0xC02B})}},
                                  {},
                                  0,
                                  TLS1_2_VERSION,
                                  0xC02B,
                                  ""},
                      SessionCase{"Tls13Suite",
                                  {{kTcpSocketSSLCipherSuites, numbers({0x1302})}},
                                  {},
                                  0,
                                  TLS1_3_VERSION,
                                  0x1302,
                                  ""},
                      SessionCase{"Alpn",
                                  {{kTcpSocketSSLALPN, PlistArray{"radio/2", "radio/1"}}},
                                  {"radio/1"},
                                  0,
                                  TLS1_3_VERSION,
                                  0,
                                  "radio/1"}),
    CaseName());

TEST(TlsSettingsEffect, MinimumVersionAboveTheServersFails) {
    TlsPair pair;
    auto context = TlsPeerContext::server(tlsFixtures().localhost.identityPem());
    context->versions(0, TLS1_2_VERSION);
    TlsPeer peer(context, pair.peer.release());
    PeerScript script([&] { return peer.handshake(); });
    pair.sock->startTLS({{kTcpSocketSSLProtocolVersionMin, kTlsProtocol13}});

    const Error error = awaitDisconnectError(*pair.delegate);
    EXPECT_EQ(error.domain, kTlsErrorDomain);
    EXPECT_EQ(error.code, errSSLProtocol);
    EXPECT_FALSE(error.failureReason.empty());
    EXPECT_FALSE(script.result());
}

// Sessions made under one peer ID are resumed by the next connection with that ID.
TEST(TlsSettingsEffect, PeerIdResumesTheSession) {
    auto context = TlsPeerContext::server(tlsFixtures().localhost.identityPem());
    const auto connect = [&](const TlsSettings& settings) {
        TlsPair pair;
        TlsPeer peer(context, pair.peer.release());
        PeerScript script([&] { return peer.handshake() && peer.write("x"); });
        pair.sock->startTLS(settings);
        // Reading the first byte also takes in the session the server sent after its handshake.
        pair.sock->readDataToLength(1, -1, 1);
        EXPECT_TRUE(waitFor([&] { return !pair.delegate->reads.empty(); }));
        EXPECT_TRUE(script.result()) << peer.error();
        pair.sock->disconnect();
        return peer.sessionReused();
    };
    const TlsSettings withId = {{kCFStreamSSLPeerName, "localhost"},
                                {kTcpSocketSSLPeerID, plistData("radio-7")}};
    EXPECT_FALSE(connect(withId));
    EXPECT_TRUE(connect(withId));
    EXPECT_FALSE(connect({{kCFStreamSSLPeerName, "localhost"}}));
}

}  // namespace
}  // namespace vm::test
