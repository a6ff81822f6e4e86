#include "net/TlsEngine.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <mutex>

namespace vm {

namespace {

// A whole record with its header and trailer.
constexpr std::size_t kReadChunk = 16 * 1024 + 512;
constexpr std::size_t kMaxCachedSessions = 64;
// Older versions have known weaknesses: neither side accepts them.
constexpr int kLeastVersion = TLS1_2_VERSION;

// Sessions to resume, by the peer ID their connection was given. Never destroyed: the library
// may report a new session while the process ends.
struct SessionCache {
    std::mutex mutex;
    std::map<Bytes, SSL_SESSION*> sessions;
};

SessionCache& sessionCache() {
    static SessionCache* cache = new SessionCache;
    return *cache;
}

// OpenSSL is set up when the program starts, before anything can start the dispatch pool. Exit
// handlers run in reverse order, so OpenSSL's own (which deletes its per-thread keys) then runs
// after the pool's threads have ended and freed their OpenSSL state; set up later from a pool
// thread, it would run first and leave that state behind.
[[maybe_unused]] const bool gOpenSslReady = OPENSSL_init_ssl(0, nullptr) == 1;

// Keys in PEM are never encrypted here: refuse a pass phrase instead of asking a terminal for it.
int noPassPhrase(char*, int, int, void*) { return 0; }

struct BioDeleter {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using BioPtr = std::unique_ptr<BIO, BioDeleter>;

BioPtr memoryBio(const Bytes& bytes) {
    if (bytes.size() > INT_MAX) return nullptr;
    return BioPtr(BIO_new_mem_buf(bytes.data(), static_cast<int>(bytes.size())));
}

// Every certificate in a PEM text, or the one DER certificate.
std::vector<X509*> readCertificates(const Bytes& bytes) {
    std::vector<X509*> certificates;
    if (BioPtr bio = memoryBio(bytes)) {
        while (X509* certificate = PEM_read_bio_X509(bio.get(), nullptr, noPassPhrase, nullptr)) {
            certificates.push_back(certificate);
        }
    }
    if (certificates.empty()) {
        const auto* der = reinterpret_cast<const unsigned char*>(bytes.data());
        if (X509* certificate = d2i_X509(nullptr, &der, static_cast<long>(bytes.size()))) {
            certificates.push_back(certificate);
        }
    }
    ERR_clear_error();  // the end of the PEM text is reported as an error
    return certificates;
}

bool isAddress(const std::string& name) {
    unsigned char address[sizeof(in6_addr)];
    return inet_pton(AF_INET, name.c_str(), address) == 1 ||
           inet_pton(AF_INET6, name.c_str(), address) == 1;
}

TlsStatus statusOfVerification(long result) {
    switch (result) {
        case X509_V_ERR_CERT_HAS_EXPIRED: return errSSLCertExpired;
        case X509_V_ERR_CERT_NOT_YET_VALID: return errSSLCertNotYetValid;
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH: return errSSLHostNameMismatch;
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
        case X509_V_ERR_CERT_UNTRUSTED: return errSSLUnknownRootCert;
        default: return errSSLBadCert;
    }
}

}  // namespace

std::unique_ptr<TlsEngine> TlsEngine::create(bool server) {
    std::unique_ptr<TlsEngine> engine(new TlsEngine);
    engine->server_ = server;
    engine->ctx_ = SSL_CTX_new(TLS_method());
    if (!engine->ctx_) return nullptr;
    SSL_CTX_set_options(engine->ctx_, SSL_OP_NO_RENEGOTIATION);
    if (SSL_CTX_set_min_proto_version(engine->ctx_, kLeastVersion) != 1) return nullptr;
    if (!server) {
        if (SSL_CTX_set_default_verify_paths(engine->ctx_) != 1) return nullptr;
        SSL_CTX_set_session_cache_mode(engine->ctx_,
                                       SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
        SSL_CTX_sess_set_new_cb(engine->ctx_, newSession);
    }
    engine->ssl_ = SSL_new(engine->ctx_);
    if (!engine->ssl_) return nullptr;
    SSL_set_app_data(engine->ssl_, engine.get());
    engine->input_ = BIO_new(BIO_s_mem());
    engine->output_ = BIO_new(BIO_s_mem());
    if (!engine->input_ || !engine->output_) {
        BIO_free(engine->input_);
        BIO_free(engine->output_);
        engine->input_ = engine->output_ = nullptr;
        return nullptr;
    }
    SSL_set_bio(engine->ssl_, engine->input_, engine->output_);
    if (server) {
        SSL_set_accept_state(engine->ssl_);
        SSL_set_verify(engine->ssl_, SSL_VERIFY_NONE, nullptr);
    } else {
        SSL_set_connect_state(engine->ssl_);
        SSL_set_verify(engine->ssl_, SSL_VERIFY_PEER, nullptr);
    }
    engine->incoming_.resize(kReadChunk);
    return engine;
}

TlsEngine::~TlsEngine() {
    SSL_free(ssl_);  // with both memory buffers
    SSL_CTX_free(ctx_);
}

void TlsEngine::setIoFunctions(ReadFunction readFunction, WriteFunction writeFunction) {
    readFunction_ = readFunction;
    writeFunction_ = writeFunction;
}

void TlsEngine::setConnection(void* connection) { connection_ = connection; }

// Set-up ----------------------------------------------------------------------------------------

bool TlsEngine::setBreakOnServerAuth(bool on) {
    if (server_ && on) return false;
    breakOnServerAuth_ = on;
    SSL_CTX_set_cert_verify_callback(ctx_, on ? verifyAfterAnswer : nullptr, on ? this : nullptr);
    return true;
}

// Replaces the library's verification while the owner evaluates the peer: the first call stops
// the handshake; the call made when the handshake goes on again accepts.
int TlsEngine::verifyAfterAnswer(x509_store_ctx_st* store, void* engine) {
    if (static_cast<TlsEngine*>(engine)->peerTrusted_) return 1;
    auto* ssl =
        static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    return ssl && SSL_set_retry_verify(ssl) ? 1 : 0;
}

bool TlsEngine::setPeerDomainName(const std::string& name) {
    if (isAddress(name)) {
        return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), name.c_str()) == 1;
    }
    if (SSL_set1_host(ssl_, name.c_str()) != 1) return false;
    return server_ || name.empty() || SSL_set_tlsext_host_name(ssl_, name.c_str()) == 1;
}

bool TlsEngine::setCertificate(const std::vector<Bytes>& items) {
    if (items.empty()) return false;
    BioPtr certificateText = memoryBio(items.front());
    BioPtr keyText = memoryBio(items.front());
    if (!certificateText || !keyText) return false;
    X509* certificate = PEM_read_bio_X509(certificateText.get(), nullptr, noPassPhrase, nullptr);
    EVP_PKEY* key = PEM_read_bio_PrivateKey(keyText.get(), nullptr, noPassPhrase, nullptr);
    bool ok = certificate && key && SSL_use_certificate(ssl_, certificate) == 1 &&
              SSL_use_PrivateKey(ssl_, key) == 1 && SSL_check_private_key(ssl_) == 1;
    X509_free(certificate);
    EVP_PKEY_free(key);
    for (std::size_t i = 1; ok && i < items.size(); ++i) {
        const std::vector<X509*> chain = readCertificates(items[i]);
        ok = !chain.empty();
        for (X509* link : chain) {
            ok = ok && SSL_add1_chain_cert(ssl_, link) == 1;
            X509_free(link);
        }
    }
    ERR_clear_error();
    return ok;
}

bool TlsEngine::setPeerId(const Bytes& peerId) {
    peerId_ = peerId;
    if (server_ || peerId.empty()) return true;
    SessionCache& cache = sessionCache();
    const std::lock_guard<std::mutex> lock(cache.mutex);
    const auto found = cache.sessions.find(peerId);
    return found == cache.sessions.end() || SSL_set_session(ssl_, found->second) == 1;
}

int TlsEngine::newSession(ssl_st* ssl, ssl_session_st* session) {
    const auto* engine = static_cast<const TlsEngine*>(SSL_get_app_data(ssl));
    if (!engine || engine->peerId_.empty()) return 0;
    SessionCache& cache = sessionCache();
    const std::lock_guard<std::mutex> lock(cache.mutex);
    SSL_SESSION*& slot = cache.sessions[engine->peerId_];
    if (slot) SSL_SESSION_free(slot);
    slot = session;
    if (cache.sessions.size() > kMaxCachedSessions) {
        auto victim = cache.sessions.begin();
        if (victim->first == engine->peerId_) ++victim;
        SSL_SESSION_free(victim->second);
        cache.sessions.erase(victim);
    }
    return 1;  // the cache holds the session now
}

// An older minimum still leaves TLS 1.2 the least version accepted.
bool TlsEngine::setProtocolVersionMin(std::int64_t version) {
    return version >= TLS1_VERSION && version <= TLS1_3_VERSION &&
           SSL_set_min_proto_version(ssl_, std::max(static_cast<int>(version), kLeastVersion)) == 1;
}

// A maximum below TLS 1.2 would leave no version to agree on.
bool TlsEngine::setProtocolVersionMax(std::int64_t version) {
    return version >= kLeastVersion && version <= TLS1_3_VERSION &&
           SSL_set_max_proto_version(ssl_, static_cast<int>(version)) == 1;
}

bool TlsEngine::setFalseStart(bool on) { return !on; }

bool TlsEngine::setSendOneByteRecord(bool on) {
    if (on) {
        SSL_clear_options(ssl_, SSL_OP_DONT_INSERT_EMPTY_FRAGMENTS);
    } else {
        SSL_set_options(ssl_, SSL_OP_DONT_INSERT_EMPTY_FRAGMENTS);
    }
    return true;
}

bool TlsEngine::setEnabledCiphers(const std::vector<std::uint32_t>& suites) {
    std::string legacy;  // up to TLS 1.2, in the library's names
    std::string modern;  // TLS 1.3, in the registered names
    for (const std::uint32_t suite : suites) {
        if (suite > 0xFFFF) return false;
        const unsigned char id[2] = {static_cast<unsigned char>(suite >> 8),
                                     static_cast<unsigned char>(suite & 0xFF)};
        const SSL_CIPHER* cipher = SSL_CIPHER_find(ssl_, id);
        if (!cipher) return false;
        std::string& list = (suite >> 8) == 0x13 ? modern : legacy;
        if (!list.empty()) list += ':';
        list +=
            (suite >> 8) == 0x13 ? SSL_CIPHER_standard_name(cipher) : SSL_CIPHER_get_name(cipher);
    }
    if (legacy.empty() && modern.empty()) return false;
    bool ok = SSL_set_ciphersuites(ssl_, modern.c_str()) == 1;
    if (!legacy.empty()) {
        ok = ok && SSL_set_cipher_list(ssl_, legacy.c_str()) == 1;
    } else if (SSL_get_min_proto_version(ssl_) < TLS1_3_VERSION) {
        // The library's older list cannot be empty: no older version is offered instead.
        ok = ok && SSL_set_min_proto_version(ssl_, TLS1_3_VERSION) == 1;
    }
    if (modern.empty()) {
        const int max = SSL_get_max_proto_version(ssl_);
        if (max == 0 || max > TLS1_2_VERSION) {
            ok = ok && SSL_set_max_proto_version(ssl_, TLS1_2_VERSION) == 1;
        }
    }
    ERR_clear_error();
    return ok;
}

bool TlsEngine::setDiffieHellmanParams(const Bytes& parameters) {
    BioPtr text = memoryBio(parameters);
    if (!text) return false;
    EVP_PKEY* key = PEM_read_bio_Parameters(text.get(), nullptr);
    if (!key) {
        const auto* der = reinterpret_cast<const unsigned char*>(parameters.data());
        key = d2i_KeyParams(EVP_PKEY_DH, nullptr, &der, static_cast<long>(parameters.size()));
    }
    ERR_clear_error();
    if (!key || !EVP_PKEY_is_a(key, "DH") || SSL_set0_tmp_dh_pkey(ssl_, key) != 1) {
        EVP_PKEY_free(key);
        return false;
    }
    return true;  // the session owns the key now
}

bool TlsEngine::setAlpnProtocols(const std::vector<std::string>& protocols) {
    Bytes wire;
    for (const std::string& protocol : protocols) {
        if (protocol.empty() || protocol.size() > 255) return false;
        wire += static_cast<char>(protocol.size());
        wire += protocol;
    }
    if (wire.empty()) return false;
    alpn_ = std::move(wire);
    if (server_) {
        SSL_CTX_set_alpn_select_cb(ctx_, selectAlpn, this);
        return true;
    }
    // Zero is success here.
    return SSL_set_alpn_protos(ssl_, reinterpret_cast<const unsigned char*>(alpn_.data()),
                               static_cast<unsigned int>(alpn_.size())) == 0;
}

// Server: the first of our protocols that the client offers.
int TlsEngine::selectAlpn(ssl_st*, const unsigned char** out, unsigned char* outLength,
                          const unsigned char* offered, unsigned int offeredLength, void* engine) {
    const Bytes& ours = static_cast<TlsEngine*>(engine)->alpn_;
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

// The session -----------------------------------------------------------------------------------

TlsStatus TlsEngine::handshake() {
    if (breakOnServerAuth_ && SSL_want_retry_verify(ssl_)) {
        peerTrusted_ = true;  // the owner goes on, so it accepted the peer
    }
    for (;;) {
        ERR_clear_error();
        const int result = SSL_do_handshake(ssl_);
        const int error = result == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
        const TlsStatus sent = flush();
        if (sent == errSSLClosedAbort) {
            failed_ = true;
            failureReason_ = "The connection failed while the handshake was sent";
            return errSSLClosedAbort;
        }
        if (result == 1) {
            return sent;  // done once its last flight is out
        }
        if (error == SSL_ERROR_WANT_RETRY_VERIFY) {
            return errSSLPeerAuthCompleted;
        }
        if (error != SSL_ERROR_WANT_READ) {
            return failure(error);
        }
        const TlsStatus received = fill();
        if (received != tlsSuccess) {
            if (received == errSSLClosedAbort) {
                failed_ = true;
                failureReason_ = "The connection ended during the handshake";
            }
            return received;
        }
    }
}

std::shared_ptr<TlsTrust> TlsEngine::copyPeerTrust() const {
    STACK_OF(X509)* chain = SSL_get_peer_cert_chain(ssl_);
    if (!chain || sk_X509_num(chain) == 0) return nullptr;
    auto trust = std::make_shared<TlsTrust>();
    for (int i = 0; i < sk_X509_num(chain); ++i) {
        unsigned char* der = nullptr;
        const int length = i2d_X509(sk_X509_value(chain, i), &der);
        if (length <= 0) return nullptr;
        trust->certificates.emplace_back(reinterpret_cast<const char*>(der),
                                         static_cast<std::size_t>(length));
        OPENSSL_free(der);
    }
    return trust;
}

TlsStatus TlsEngine::read(char* data, std::size_t length, std::size_t* processed) {
    *processed = 0;
    for (;;) {
        ERR_clear_error();
        std::size_t got = 0;
        const int ok = SSL_read_ex(ssl_, data, length, &got);
        const int error = ok ? SSL_ERROR_NONE : SSL_get_error(ssl_, 0);
        flush();  // answers the session may owe the peer; a blocked rest goes with the next write
        if (ok) {
            *processed = got;
            return tlsSuccess;
        }
        if (error == SSL_ERROR_ZERO_RETURN) {
            return errSSLClosedGraceful;
        }
        if (error != SSL_ERROR_WANT_READ) {
            return failure(error);
        }
        const TlsStatus received = fill();
        if (received != tlsSuccess) {
            return received;
        }
    }
}

TlsStatus TlsEngine::write(const char* data, std::size_t length, std::size_t* processed) {
    *processed = 0;
    if (length > 0) {
        ERR_clear_error();
        std::size_t taken = 0;
        if (!SSL_write_ex(ssl_, data, length, &taken)) {
            const int error = SSL_get_error(ssl_, 0);
            flush();
            return failure(error);
        }
    }
    const TlsStatus sent = flush();
    if (sent == tlsSuccess) {
        *processed = length;
    }
    return sent;
}

std::size_t TlsEngine::bufferedReadSize() const {
    return static_cast<std::size_t>(SSL_pending(ssl_)) + BIO_ctrl_pending(input_);
}

void TlsEngine::close() {
    if (!failed_ && SSL_is_init_finished(ssl_)) {
        ERR_clear_error();
        SSL_shutdown(ssl_);
        flush();
    }
}

bool TlsEngine::receivedCloseAlert() const {
    return (SSL_get_shutdown(ssl_) & SSL_RECEIVED_SHUTDOWN) != 0;
}

TlsStatus TlsEngine::fill() {
    std::size_t length = incoming_.size();
    const TlsStatus status = readFunction_(connection_, incoming_.data(), &length);
    if (length == 0) {
        return status == tlsSuccess ? errSSLWouldBlock : status;
    }
    BIO_write(input_, incoming_.data(), static_cast<int>(length));
    return tlsSuccess;
}

TlsStatus TlsEngine::flush() {
    char* produced = nullptr;
    const long count = BIO_get_mem_data(output_, &produced);
    if (count > 0) {
        outgoing_.append(produced, static_cast<std::size_t>(count));
        (void)BIO_reset(output_);
    }
    while (outgoingSent_ < outgoing_.size()) {
        std::size_t length = outgoing_.size() - outgoingSent_;
        const TlsStatus status =
            writeFunction_(connection_, outgoing_.data() + outgoingSent_, &length);
        outgoingSent_ += length;
        if (status != tlsSuccess && outgoingSent_ < outgoing_.size()) {
            if (outgoingSent_ > outgoing_.size() / 2) {
                outgoing_.erase(0, outgoingSent_);
                outgoingSent_ = 0;
            }
            return status == errSSLClosedAbort ? errSSLClosedAbort : errSSLWouldBlock;
        }
    }
    outgoing_.clear();
    outgoingSent_ = 0;
    return tlsSuccess;
}

TlsStatus TlsEngine::failure(int sslError) {
    failed_ = true;
    const long verification = SSL_get_verify_result(ssl_);
    if (!server_ && verification != X509_V_OK) {
        failureReason_ = X509_verify_cert_error_string(verification);
        return statusOfVerification(verification);
    }
    if (const unsigned long queued = ERR_peek_last_error()) {
        const char* reason = ERR_reason_error_string(queued);
        failureReason_ = reason ? reason : "unknown TLS failure";
        return ERR_GET_REASON(queued) == SSL_R_UNEXPECTED_EOF_WHILE_READING ? errSSLClosedAbort
                                                                            : errSSLProtocol;
    }
    if (sslError == SSL_ERROR_SYSCALL) {
        failureReason_ = "The connection ended";
        return errSSLClosedAbort;
    }
    failureReason_ = "TLS failure " + std::to_string(sslError);
    return errSSLProtocol;
}

}  // namespace vm
