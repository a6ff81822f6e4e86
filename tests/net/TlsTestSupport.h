#pragma once
// Helpers of the TLS socket tests: certificates made once per test program (their authority is
// the trust store the sockets see, through SSL_CERT_FILE), a delegate that also records the TLS
// callbacks, and a peer run on a thread of its own.
#include "net/TcpTestSupport.h"
#include "net/TlsStatus.h"
#include "support/tls/TestPki.h"
#include "support/tls/TlsPeer.h"

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vm::test {

struct TlsFixtures {
    std::string folder;
    TestIdentity authority;         // trusted
    TestIdentity stranger;          // an authority nobody trusts
    TestIdentity localhost;         // "localhost" and 127.0.0.1, by the trusted authority
    TestIdentity otherName;         // "other.example", by the trusted authority
    TestIdentity expired;           // "localhost", expired yesterday
    TestIdentity unknownAuthority;  // "localhost", by the stranger
};

// Made before the first test of the program runs.
const TlsFixtures& tlsFixtures();

struct TlsRecordingDelegate : RecordingDelegate {
    int secured = 0;
    bool evaluatesTrust = true;       // false: behaves as a delegate without trust evaluation
    std::optional<bool> trustAnswer;  // answered at once when set; the handler is kept either way
    std::vector<TlsTrust> trusts;
    std::vector<TlsTrustCompletionHandler> trustHandlers;

    void socketDidSecure(const TcpSocketPtr&) override { ++secured; }
    bool socketDidReceiveTrust(const TcpSocketPtr&, const TlsTrust& trust,
                               TlsTrustCompletionHandler handler) override {
        if (!evaluatesTrust) return false;
        trusts.push_back(trust);
        trustHandlers.push_back(handler);
        if (trustAnswer) handler(*trustAnswer);
        return true;
    }
};

using TlsPair = BasicConnectedPair<TlsRecordingDelegate>;

// A TcpSocket whose delegate runs on the main queue, connected (or connecting) to 127.0.0.1:port.
struct TlsClient {
    std::shared_ptr<TlsRecordingDelegate> delegate = std::make_shared<TlsRecordingDelegate>();
    TcpSocketPtr sock = TcpSocket::create(delegate, DispatchQueue::main());

    explicit TlsClient(std::uint16_t port) {
        Error error;
        EXPECT_TRUE(sock->connectToHost("127.0.0.1", port, 10.0, &error)) << error.description;
    }
};

// Runs `script` on a thread of its own; result() waits for its answer.
class PeerScript {
public:
    explicit PeerScript(std::function<bool()> script)
        : result_(std::async(std::launch::async, std::move(script))) {}
    bool result() { return result_.get(); }

private:
    std::future<bool> result_;
};

// Names each case of a parameterised test after its `name` field.
struct CaseName {
    template <class Info>
    std::string operator()(const Info& testCase) const {
        return testCase.param.name;
    }
};

// A certificate and key as kCFStreamSSLCertificates takes them.
PlistArray certificatesSetting(const TestIdentity& identity);
PlistData plistData(const std::string& bytes);

// The socket's one disconnect, once it came; an empty error when none came within 10 s.
Error awaitDisconnectError(const TlsRecordingDelegate& delegate);
// Runs every task queued on `sock`'s queue so far, then every main-queue task queued by then.
void drainSocketAndMain(const TcpSocketPtr& sock);

}  // namespace vm::test
