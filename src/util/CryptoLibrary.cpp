#include "util/CryptoLibrary.h"

#include "platform/core/Log.h"

#include <openssl/provider.h>

namespace vm::crypto {

OSSL_LIB_CTX* libraryContext() {
    static OSSL_LIB_CTX* context = [] {
        OSSL_LIB_CTX* ctx = OSSL_LIB_CTX_new();
        if (ctx && !OSSL_PROVIDER_load(ctx, "default")) {
            log("crypto:error:no default provider");
        }
        if (ctx && !OSSL_PROVIDER_load(ctx, "legacy")) {
            log("crypto:error:no legacy provider (MD4, DES, CAST and RC4 unavailable)");
        }
        return ctx;
    }();
    return context;
}

MdPtr fetchDigest(const char* name) { return MdPtr(EVP_MD_fetch(libraryContext(), name, nullptr)); }

CipherPtr fetchCipher(const char* name) {
    return CipherPtr(EVP_CIPHER_fetch(libraryContext(), name, nullptr));
}

}  // namespace vm::crypto
