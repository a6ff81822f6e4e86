#pragma once
// The TLS engine of the TCP socket: one session on OpenSSL, fed through memory buffers. It never
// touches a descriptor: it asks its owner for ciphertext and hands ciphertext back through the
// two I/O functions registered with it, which may answer errSSLWouldBlock. Every call then
// answers errSSLWouldBlock too and resumes where it stopped on the next call; a write that would
// block keeps its bytes and sends them on the next call, even one with no new bytes.
#include "net/TlsStatus.h"
#include "net/TlsTrust.h"
#include "platform/core/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct ssl_ctx_st;
struct ssl_st;
struct bio_st;
struct x509_store_ctx_st;
struct ssl_session_st;

namespace vm {

class TlsEngine {
public:
    // Gives bytes to the engine: fills at most `*length` bytes at `data` and sets `*length` to
    // the count. tlsSuccess only when all were given; errSSLWouldBlock when fewer were;
    // errSSLClosedAbort when the connection failed or ended.
    using ReadFunction = TlsStatus (*)(void* connection, char* data, std::size_t* length);
    // Takes bytes from the engine, with the same answers.
    using WriteFunction = TlsStatus (*)(void* connection, const char* data, std::size_t* length);

    // A client session verifies the server against the system's trust store. Null when the
    // library cannot make a session.
    static std::unique_ptr<TlsEngine> create(bool server);
    ~TlsEngine();
    TlsEngine(const TlsEngine&) = delete;
    TlsEngine& operator=(const TlsEngine&) = delete;

    void setIoFunctions(ReadFunction readFunction, WriteFunction writeFunction);
    void setConnection(void* connection);

    // Set-up, before the handshake; each answers false when the engine refuses the value.
    // Client only: the handshake stops with errSSLPeerAuthCompleted once the server's certificates
    // are in; the next handshake() call accepts them. The engine then verifies nothing itself.
    bool setBreakOnServerAuth(bool on);
    // The server's certificate must be valid for this name (checked unless trust is evaluated
    // by the owner); a host name is also sent as the server name.
    bool setPeerDomainName(const std::string& name);
    // Identity (PEM certificate and private key) first, then chain certificates (PEM or DER).
    bool setCertificate(const std::vector<Bytes>& items);
    // Client: resume a session made earlier in this process under the same ID.
    bool setPeerId(const Bytes& peerId);
    bool setProtocolVersionMin(std::int64_t version);
    bool setProtocolVersionMax(std::int64_t version);
    // This engine has no false start: only false is taken.
    bool setFalseStart(bool on);
    // The engine's record splitting against chosen-plaintext attacks on CBC suites in TLS 1.0
    // (empty fragments; on unless turned off).
    bool setSendOneByteRecord(bool on);
    // Registered 16-bit suite numbers; false when one is unknown or none can be used.
    bool setEnabledCiphers(const std::vector<std::uint32_t>& suites);
    bool setDiffieHellmanParams(const Bytes& parameters);
    bool setAlpnProtocols(const std::vector<std::string>& protocols);

    TlsStatus handshake();
    // The peer's certificate chain, once the handshake has it; null before.
    std::shared_ptr<TlsTrust> copyPeerTrust() const;
    // Plaintext: success with at least one byte, or the status that stopped the read.
    TlsStatus read(char* data, std::size_t length, std::size_t* processed);
    // Plaintext: success once all `length` bytes (and any kept from before) are out; on
    // errSSLWouldBlock the bytes are kept and `*processed` is 0.
    TlsStatus write(const char* data, std::size_t length, std::size_t* processed);
    // Bytes held inside the engine for later reads: plaintext already decrypted, and ciphertext
    // taken from the connection but not yet decrypted. No I/O.
    std::size_t bufferedReadSize() const;
    // Ends the session with a close alert when it is up, without waiting for the peer's.
    void close();
    // The peer ended the session with a close alert.
    bool receivedCloseAlert() const;

    // Why the last failing call failed, in the library's words.
    const std::string& failureReason() const { return failureReason_; }

private:
    TlsEngine() = default;

    // Asks the connection for more ciphertext: success when some came.
    TlsStatus fill();
    // Hands the connection what the engine has written.
    TlsStatus flush();
    // The status of a failed call, and its reason.
    TlsStatus failure(int sslError);
    static int verifyAfterAnswer(x509_store_ctx_st* store, void* engine);
    static int newSession(ssl_st* ssl, ssl_session_st* session);
    static int selectAlpn(ssl_st* ssl, const unsigned char** out, unsigned char* outLength,
                          const unsigned char* offered, unsigned int offeredLength, void* engine);

    ssl_ctx_st* ctx_ = nullptr;
    ssl_st* ssl_ = nullptr;
    bio_st* input_ = nullptr;   // ciphertext from the connection, owned by ssl_
    bio_st* output_ = nullptr;  // ciphertext for the connection, owned by ssl_
    bool server_ = false;
    bool breakOnServerAuth_ = false;
    bool peerTrusted_ = false;  // the owner accepted the peer's certificates
    bool failed_ = false;
    ReadFunction readFunction_ = nullptr;
    WriteFunction writeFunction_ = nullptr;
    void* connection_ = nullptr;
    Bytes outgoing_;  // ciphertext the connection has not taken yet
    std::size_t outgoingSent_ = 0;
    std::vector<char> incoming_;
    Bytes peerId_;
    Bytes alpn_;  // the protocols in wire form
    std::string failureReason_;
};

}  // namespace vm
