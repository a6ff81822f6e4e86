#pragma once
// The OpenSSL library context of the digest, HMAC and cipher helpers: the default provider plus
// the legacy one (MD4, DES, CAST5, RC4), in a context of their own so that the process-wide
// context (TLS) is left as it is.
#include <openssl/evp.h>

#include <memory>

namespace vm::crypto {

OSSL_LIB_CTX* libraryContext();

struct MdFree {
    void operator()(EVP_MD* md) const { EVP_MD_free(md); }
};
struct CipherFree {
    void operator()(EVP_CIPHER* c) const { EVP_CIPHER_free(c); }
};
using MdPtr = std::unique_ptr<EVP_MD, MdFree>;
using CipherPtr = std::unique_ptr<EVP_CIPHER, CipherFree>;

// nullptr when no provider of the context has the algorithm.
MdPtr fetchDigest(const char* name);
CipherPtr fetchCipher(const char* name);

}  // namespace vm::crypto
