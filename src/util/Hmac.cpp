#include "util/Hmac.h"

#include "util/CryptoLibrary.h"

#include <openssl/core_names.h>
#include <openssl/params.h>

#include <memory>

namespace vm::data {

namespace {

const char* digestName(int algorithm) {
    switch (algorithm) {
        case kHmacSHA1: return "SHA1";
        case kHmacMD5: return "MD5";
        case kHmacSHA256: return "SHA256";
        case kHmacSHA384: return "SHA384";
        case kHmacSHA512: return "SHA512";
        case kHmacSHA224: return "SHA224";
        default: return nullptr;
    }
}

struct MacFree {
    void operator()(EVP_MAC* m) const { EVP_MAC_free(m); }
    void operator()(EVP_MAC_CTX* c) const { EVP_MAC_CTX_free(c); }
};

}  // namespace

Bytes HMACWithAlgorithm(const Bytes& data, int algorithm, const Bytes& key) {
    const char* name = digestName(algorithm);
    if (!name) {
        return {};
    }
    std::unique_ptr<EVP_MAC, MacFree> mac(EVP_MAC_fetch(crypto::libraryContext(), "HMAC", nullptr));
    std::unique_ptr<EVP_MAC_CTX, MacFree> ctx(mac ? EVP_MAC_CTX_new(mac.get()) : nullptr);
    if (!ctx) {
        return {};
    }
    const OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>(name), 0),
        OSSL_PARAM_construct_end()};
    // OpenSSL wants a key buffer even for the empty key.
    static const unsigned char noKey = 0;
    const auto* keyBytes =
        key.empty() ? &noKey : reinterpret_cast<const unsigned char*>(key.data());
    unsigned char out[EVP_MAX_MD_SIZE];
    std::size_t length = 0;
    if (!EVP_MAC_init(ctx.get(), keyBytes, key.size(), params) ||
        !EVP_MAC_update(ctx.get(), reinterpret_cast<const unsigned char*>(data.data()),
                        data.size()) ||
        !EVP_MAC_final(ctx.get(), out, &length, sizeof out)) {
        return {};
    }
    return Bytes(reinterpret_cast<const char*>(out), length);
}

Bytes HMACWithAlgorithm(const Bytes& data, int algorithm) {
    return HMACWithAlgorithm(data, algorithm, Bytes());
}

}  // namespace vm::data
