#pragma once
// TLS for the simulated radio's command sessions, straight on OpenSSL over the session's
// non-blocking descriptor (nothing from src/net). A stream reads and writes like recv() and
// send(): it answers -1 with errno EAGAIN while the handshake or a record is incomplete, so the
// radio's poll loop drives it exactly like a plain socket.
#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>

struct ssl_ctx_st;
struct ssl_st;

namespace vm::sim {

// The server side's certificate and key.
class SimTlsContext {
public:
    // `identityPem` holds the certificate and its private key; nullptr (with `error`) when it
    // does not.
    static std::shared_ptr<SimTlsContext> server(const std::string& identityPem,
                                                 std::string* error);
    ~SimTlsContext();
    SimTlsContext(const SimTlsContext&) = delete;
    SimTlsContext& operator=(const SimTlsContext&) = delete;

    ssl_ctx_st* get() const { return ctx_; }

private:
    SimTlsContext() = default;
    ssl_ctx_st* ctx_ = nullptr;
};

// The server end of one session. The descriptor stays owned by the session.
class SimTlsStream {
public:
    SimTlsStream(const SimTlsContext& context, int fd);
    ~SimTlsStream();
    SimTlsStream(const SimTlsStream&) = delete;
    SimTlsStream& operator=(const SimTlsStream&) = delete;

    // Plaintext in: bytes read, 0 at the peer's close alert or end of stream, -1 with errno set
    // (EAGAIN: nothing yet; EPROTO: the session failed). The handshake runs first.
    ssize_t receive(char* buffer, std::size_t size);
    // Plaintext out, with the same answers.
    ssize_t send(const char* data, std::size_t size);
    // Sends the close alert (when the handshake is done).
    void close();

    bool established() const { return established_; }
    // OpenSSL waits for the descriptor to take bytes: poll for POLLOUT.
    bool wantsWrite() const { return wantsWrite_; }

private:
    // What recv() or send() would answer for an OpenSSL call's result and its byte count.
    ssize_t result(int code, std::size_t bytes);

    ssl_st* ssl_ = nullptr;
    bool established_ = false;
    bool wantsWrite_ = false;
};

}  // namespace vm::sim
