#include "support/tls/TlsPeer.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <utility>

namespace vm::test {

namespace {

constexpr int kWaitMs = 10000;

bool sendAllBlocking(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string lastSslError() {
    const unsigned long code = ERR_get_error();
    if (code == 0) return "no reason given";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

int selectAlpn(SSL*, const unsigned char** out, unsigned char* outLength,
               const unsigned char* offered, unsigned int offeredLength, void* arg) {
    const std::string& ours = static_cast<TlsPeerContext*>(arg)->alpnWire();
    unsigned char* chosen = nullptr;
    if (SSL_select_next_proto(&chosen, outLength,
                              reinterpret_cast<const unsigned char*>(ours.data()),
                              static_cast<unsigned int>(ours.size()), offered,
                              offeredLength) != OPENSSL_NPN_NEGOTIATED) {
        return SSL_TLSEXT_ERR_NOACK;
    }
    *out = chosen;
    return SSL_TLSEXT_ERR_OK;
}

}  // namespace

std::shared_ptr<TlsPeerContext> TlsPeerContext::server(const std::string& identityPem) {
    std::shared_ptr<TlsPeerContext> context(new TlsPeerContext);
    context->server_ = true;
    context->ctx_ = SSL_CTX_new(TLS_server_method());
    BIO* certificate = BIO_new_mem_buf(identityPem.data(), static_cast<int>(identityPem.size()));
    BIO* key = BIO_new_mem_buf(identityPem.data(), static_cast<int>(identityPem.size()));
    X509* x509 = PEM_read_bio_X509(certificate, nullptr, nullptr, nullptr);
    EVP_PKEY* pkey = PEM_read_bio_PrivateKey(key, nullptr, nullptr, nullptr);
    SSL_CTX_use_certificate(context->ctx_, x509);
    SSL_CTX_use_PrivateKey(context->ctx_, pkey);
    X509_free(x509);
    EVP_PKEY_free(pkey);
    BIO_free(certificate);
    BIO_free(key);
    return context;
}

std::shared_ptr<TlsPeerContext> TlsPeerContext::client() {
    std::shared_ptr<TlsPeerContext> context(new TlsPeerContext);
    context->ctx_ = SSL_CTX_new(TLS_client_method());
    SSL_CTX_set_verify(context->ctx_, SSL_VERIFY_NONE, nullptr);
    return context;
}

TlsPeerContext::~TlsPeerContext() { SSL_CTX_free(ctx_); }

TlsPeerContext& TlsPeerContext::versions(int minVersion, int maxVersion) {
    SSL_CTX_set_min_proto_version(ctx_, minVersion);
    SSL_CTX_set_max_proto_version(ctx_, maxVersion);
    if (maxVersion != 0 && maxVersion < TLS1_2_VERSION) {
        // The library offers versions before TLS 1.2 only at its lowest security level.
        SSL_CTX_set_security_level(ctx_, 0);
        SSL_CTX_set_cipher_list(ctx_, "DEFAULT:@SECLEVEL=0");
    }
    return *this;
}

TlsPeerContext& TlsPeerContext::alpn(const std::vector<std::string>& protocols) {
    alpnWire_.clear();
    for (const std::string& protocol : protocols) {
        alpnWire_ += static_cast<char>(protocol.size());
        alpnWire_ += protocol;
    }
    if (server_) {
        SSL_CTX_set_alpn_select_cb(ctx_, selectAlpn, this);
    } else {
        SSL_CTX_set_alpn_protos(ctx_, reinterpret_cast<const unsigned char*>(alpnWire_.data()),
                                static_cast<unsigned int>(alpnWire_.size()));
    }
    return *this;
}

TlsPeer::TlsPeer(std::shared_ptr<TlsPeerContext> context, int fd)
    : context_(std::move(context)), fd_(fd) {
    ssl_ = SSL_new(context_->get());
    in_ = BIO_new(BIO_s_mem());
    out_ = BIO_new(BIO_s_mem());
    SSL_set_bio(ssl_, in_, out_);
}

TlsPeer::~TlsPeer() {
    SSL_free(ssl_);
    if (fd_ != -1) ::close(fd_);
}

bool TlsPeer::sendPlain(const std::string& bytes) { return sendAllBlocking(fd_, bytes); }

std::string TlsPeer::receivePlainLine() {
    // One byte at a time, so nothing after the line (the peer's first TLS record) is taken.
    std::string line;
    char byte = 0;
    pollfd pfd{fd_, POLLIN, 0};
    while (::poll(&pfd, 1, kWaitMs) == 1 && ::recv(fd_, &byte, 1, 0) == 1) {
        line += byte;
        if (byte == '\n') break;
    }
    return line;
}

bool TlsPeer::flushOut(const std::string& prefix) {
    std::string bytes = prefix;
    char chunk[16384];
    int n = 0;
    while ((n = BIO_read(out_, chunk, sizeof chunk)) > 0) {
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes.empty() || sendAllBlocking(fd_, bytes);
}

bool TlsPeer::readIn() {
    pollfd pfd{fd_, POLLIN, 0};
    if (::poll(&pfd, 1, kWaitMs) != 1) {
        error_ = "nothing came";
        return false;
    }
    char chunk[65536];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) {
        error_ = "connection ended";
        return false;
    }
    BIO_write(in_, chunk, static_cast<int>(n));
    return true;
}

template <class Op>
bool TlsPeer::drive(Op op) {
    for (;;) {
        ERR_clear_error();
        const int result = op();
        const int error = result > 0 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
        if (!flushOut()) {
            error_ = "send failed";
            return false;
        }
        if (result > 0) return true;
        if (error == SSL_ERROR_ZERO_RETURN) {
            error_ = "close alert";
            return false;
        }
        if (error != SSL_ERROR_WANT_READ) {
            error_ = lastSslError();
            return false;
        }
        if (!readIn()) return false;
    }
}

bool TlsPeer::handshake(const std::string& prefix) {
    if (SSL_is_server(ssl_)) {
        SSL_set_accept_state(ssl_);
    } else {
        SSL_set_connect_state(ssl_);
        if (!prefix.empty()) {
            SSL_do_handshake(ssl_);  // writes the first flight only
            if (!flushOut(prefix)) return false;
        }
    }
    return drive([this] { return SSL_do_handshake(ssl_); });
}

bool TlsPeer::write(const std::string& bytes) {
    return drive([&] {
        std::size_t written = 0;
        return SSL_write_ex(ssl_, bytes.data(), bytes.size(), &written);
    });
}

std::string TlsPeer::read(std::size_t count) {
    std::string out = plain_.substr(0, count);
    plain_.erase(0, out.size());
    while (out.size() < count) {
        char chunk[65536];
        std::size_t got = 0;
        const bool ok = drive([&] {
            return SSL_read_ex(ssl_, chunk, std::min(sizeof chunk, count - out.size()), &got);
        });
        if (!ok) break;
        out.append(chunk, got);
    }
    return out;
}

std::string TlsPeer::readLine() {
    for (;;) {
        const std::size_t end = plain_.find('\n');
        if (end != std::string::npos) {
            std::string line = plain_.substr(0, end + 1);
            plain_.erase(0, end + 1);
            return line;
        }
        char chunk[4096];
        std::size_t got = 0;
        if (!drive([&] { return SSL_read_ex(ssl_, chunk, sizeof chunk, &got); })) {
            return std::exchange(plain_, {});
        }
        plain_.append(chunk, got);
    }
}

void TlsPeer::shutdown() {
    SSL_shutdown(ssl_);
    flushOut();
}

void TlsPeer::closeConnection() {
    ::close(fd_);
    fd_ = -1;
}

int TlsPeer::version() const { return SSL_version(ssl_); }

std::uint16_t TlsPeer::cipherId() const {
    const SSL_CIPHER* cipher = SSL_get_current_cipher(ssl_);
    return cipher ? SSL_CIPHER_get_protocol_id(cipher) : 0;
}

std::string TlsPeer::selectedAlpn() const {
    const unsigned char* data = nullptr;
    unsigned int length = 0;
    SSL_get0_alpn_selected(ssl_, &data, &length);
    return std::string(reinterpret_cast<const char*>(data), length);
}

bool TlsPeer::sessionReused() const { return SSL_session_reused(ssl_) == 1; }

}  // namespace vm::test
