#pragma once
// A DoroLink server for tests: TLS on 127.0.0.1 with a certificate made by the test, written on
// plain sockets and OpenSSL (nothing from src/net). It records every line a client sends (lines
// end with a carriage return or a line feed), sends what the test gives it to the latest session,
// and, with a ping window, tells a session that sent no "ping from client" for that long
// "Disconnecting due to lack of ping" and closes it. One thread runs a poll loop; every public
// call is thread-safe and answers at once (the client under test runs on the main queue, so a
// test waits by running that queue until an answer changes).
#include "support/tls/TestPki.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vm::sim {
class SimTlsContext;
}

namespace vm::test {

// The certificates of the DoroLink tests, made on the first call, whose authority becomes the
// trust store of the whole test program (SSL_CERT_FILE): call it before any TLS connection.
struct DoroLinkCertificates {
    TestIdentity authority;
    TestIdentity localhost;  // "localhost", by the trusted authority
    TestIdentity otherName;  // "other.example", by the trusted authority
    TestIdentity expired;    // "localhost", expired yesterday
};
const DoroLinkCertificates& doroLinkCertificates();

class DoroLinkTestServer {
public:
    struct Options {
        std::string identityPem;         // certificate and key
        bool completeHandshakes = true;  // false: takes connections and never answers
        // Above zero: the longest a secured session may go without a ping, on `clock`.
        std::chrono::nanoseconds pingWindow{0};
        std::function<std::chrono::nanoseconds()> clock;
    };
    struct Line {
        int session = 0;  // from 1, in order of acceptance
        std::string text;
    };
    static constexpr const char* kLackOfPing = "Disconnecting due to lack of ping";

    static std::unique_ptr<DoroLinkTestServer> start(Options options, std::string* error = nullptr);
    ~DoroLinkTestServer();
    DoroLinkTestServer(const DoroLinkTestServer&) = delete;
    DoroLinkTestServer& operator=(const DoroLinkTestServer&) = delete;

    std::uint16_t port() const { return port_; }

    std::vector<Line> lines() const;
    std::size_t count(const std::string& text) const;
    // Lines that begin with `prefix`.
    std::size_t countPrefix(const std::string& prefix) const;

    // Turns of the server's loop so far: two more turns than now and the server has taken every
    // connection and read every byte that had reached it by now.
    std::uint64_t turns() const;
    int accepted() const;  // connections taken
    int secured() const;   // handshakes completed
    int ended() const;     // sessions over, whoever ended them

    // Bytes for the latest session, sent as they are once its handshake is done.
    void send(const std::string& bytes);
    // Ends the latest session once what was given to it is out: the close alert, then the
    // writing side shut (what the client still sends is read and dropped).
    void closeSession();
    // Pings still arrive (and are recorded) but no longer count as pings.
    void losePings(bool lose);

private:
    struct Session;

    DoroLinkTestServer() = default;
    void run();
    void serve(Session& session);

    Options options_;
    std::shared_ptr<sim::SimTlsContext> context_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::thread thread_;

    mutable std::mutex mutex_;
    bool stop_ = false;
    bool losePings_ = false;
    std::vector<std::unique_ptr<Session>> sessions_;
    std::vector<Line> lines_;
    std::uint64_t turns_ = 0;
    int accepted_ = 0;
    int secured_ = 0;
    int ended_ = 0;
};

}  // namespace vm::test
