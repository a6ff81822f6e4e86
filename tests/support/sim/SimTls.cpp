#include "support/sim/SimTls.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>

#include <cerrno>

namespace vm::sim {

std::shared_ptr<SimTlsContext> SimTlsContext::server(const std::string& identityPem,
                                                     std::string* error) {
    std::shared_ptr<SimTlsContext> context(new SimTlsContext);
    context->ctx_ = SSL_CTX_new(TLS_server_method());
    // The session's output buffer grows while a write waits for the descriptor.
    SSL_CTX_set_mode(context->ctx_,
                     SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    BIO* certificateText =
        BIO_new_mem_buf(identityPem.data(), static_cast<int>(identityPem.size()));
    BIO* keyText = BIO_new_mem_buf(identityPem.data(), static_cast<int>(identityPem.size()));
    X509* certificate = PEM_read_bio_X509(certificateText, nullptr, nullptr, nullptr);
    EVP_PKEY* key = PEM_read_bio_PrivateKey(keyText, nullptr, nullptr, nullptr);
    const bool ok = context->ctx_ && certificate && key &&
                    SSL_CTX_use_certificate(context->ctx_, certificate) == 1 &&
                    SSL_CTX_use_PrivateKey(context->ctx_, key) == 1;
    X509_free(certificate);
    EVP_PKEY_free(key);
    BIO_free(certificateText);
    BIO_free(keyText);
    ERR_clear_error();
    if (!ok) {
        if (error) {
            *error = "TLS identity: no certificate with its key";
        }
        return nullptr;
    }
    return context;
}

SimTlsContext::~SimTlsContext() { SSL_CTX_free(ctx_); }

SimTlsStream::SimTlsStream(const SimTlsContext& context, int fd) : ssl_(SSL_new(context.get())) {
    SSL_set_fd(ssl_, fd);
    SSL_set_accept_state(ssl_);
}

SimTlsStream::~SimTlsStream() { SSL_free(ssl_); }

ssize_t SimTlsStream::result(int code, std::size_t bytes) {
    if (code == 1) {
        wantsWrite_ = false;
        return static_cast<ssize_t>(bytes);
    }
    const int error = SSL_get_error(ssl_, code);
    ERR_clear_error();
    wantsWrite_ = error == SSL_ERROR_WANT_WRITE;
    switch (error) {
        case SSL_ERROR_WANT_READ:
        case SSL_ERROR_WANT_WRITE: errno = EAGAIN; return -1;
        case SSL_ERROR_ZERO_RETURN: return 0;
        case SSL_ERROR_SYSCALL:
            if (errno == 0) {
                return 0;  // the peer ended the stream without a close alert
            }
            return -1;
        default: errno = EPROTO; return -1;
    }
}

ssize_t SimTlsStream::receive(char* buffer, std::size_t size) {
    if (!established_) {
        errno = 0;
        const int code = SSL_do_handshake(ssl_);
        if (code != 1) {
            return result(code, 0);
        }
        established_ = true;
    }
    std::size_t got = 0;
    errno = 0;
    const int code = SSL_read_ex(ssl_, buffer, size, &got);
    return result(code, got);
}

ssize_t SimTlsStream::send(const char* data, std::size_t size) {
    if (!established_) {
        errno = EAGAIN;  // the greeting waits for the handshake, which reading drives
        return -1;
    }
    std::size_t written = 0;
    errno = 0;
    const int code = SSL_write_ex(ssl_, data, size, &written);
    return result(code, written);
}

void SimTlsStream::close() {
    if (established_) {
        SSL_shutdown(ssl_);
        ERR_clear_error();
    }
}

}  // namespace vm::sim
