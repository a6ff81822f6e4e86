#pragma once
// An OpenSSL peer for TLS tests, on a blocking descriptor of its own (plain sockets, nothing from
// src/net). It can speak plaintext first and then upgrade, as client or server. Its calls block
// (each wait bounded by 10 s), so a test runs it on a thread of its own.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ssl_ctx_st;
struct ssl_st;
struct bio_st;

namespace vm::test {

// Settings shared by the peers made from it (a server context also keeps their sessions).
class TlsPeerContext {
public:
    // A server with a PEM identity (certificate and key).
    static std::shared_ptr<TlsPeerContext> server(const std::string& identityPem);
    // A client that verifies nothing.
    static std::shared_ptr<TlsPeerContext> client();
    ~TlsPeerContext();

    TlsPeerContext& versions(int minVersion, int maxVersion);
    // Server: the protocol chosen is the first of these that the client offers.
    TlsPeerContext& alpn(const std::vector<std::string>& protocols);
    ssl_ctx_st* get() const { return ctx_; }
    const std::string& alpnWire() const { return alpnWire_; }

private:
    TlsPeerContext() = default;
    ssl_ctx_st* ctx_ = nullptr;
    bool server_ = false;
    std::string alpnWire_;
};

class TlsPeer {
public:
    // Takes `fd` (blocking, connected) and closes it when destroyed.
    TlsPeer(std::shared_ptr<TlsPeerContext> context, int fd);
    ~TlsPeer();
    TlsPeer(const TlsPeer&) = delete;
    TlsPeer& operator=(const TlsPeer&) = delete;

    // Plaintext, before the upgrade.
    bool sendPlain(const std::string& bytes);
    std::string receivePlainLine();

    // The handshake. `prefix` goes out in the same send() as the first flight of a client.
    bool handshake(const std::string& prefix = {});
    bool write(const std::string& bytes);
    // Until `count` bytes came, or the session ended.
    std::string read(std::size_t count);
    std::string readLine();
    // Sends the close alert.
    void shutdown();
    // Ends the connection at once, without a close alert.
    void closeConnection();

    int version() const;             // the protocol version negotiated (0x0303...)
    std::uint16_t cipherId() const;  // the suite's registered number
    std::string selectedAlpn() const;
    bool sessionReused() const;
    const std::string& error() const { return error_; }

private:
    template <class Op>
    bool drive(Op op);
    bool flushOut(const std::string& prefix = {});
    bool readIn();

    std::shared_ptr<TlsPeerContext> context_;
    int fd_ = -1;
    ssl_st* ssl_ = nullptr;
    bio_st* in_ = nullptr;
    bio_st* out_ = nullptr;
    std::string plain_;  // plaintext received beyond the last line
    std::string error_;
};

}  // namespace vm::test
