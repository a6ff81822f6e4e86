#include "util/Cryptor.h"

#include "util/CryptoLibrary.h"

#include <algorithm>
#include <climits>
#include <memory>

namespace vm::data {

namespace {

struct CtxFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

std::string cipherName(int algorithm, std::size_t keyLength, bool ecb) {
    const char* mode = ecb ? "-ECB" : "-CBC";
    switch (algorithm) {
        case kCryptorAES: return "AES-" + std::to_string(keyLength * 8) + mode;
        case kCryptorDES: return std::string("DES") + mode;
        case kCryptor3DES: return std::string("DES-EDE3") + mode;
        case kCryptorCAST: return std::string("CAST5") + mode;
        case kCryptorRC4: return "RC4";
        default: return {};
    }
}

std::optional<Bytes> fail(std::int32_t code, std::int32_t* status) {
    if (status) {
        *status = code;
    }
    return std::nullopt;
}

std::optional<Bytes> crypt(bool encrypt, const Bytes& data, int algorithm, const Bytes& keyIn,
                           const std::optional<Bytes>& ivIn, unsigned options,
                           std::int32_t* status) {
    Bytes key = keyIn;
    std::optional<Bytes> iv = ivIn;
    FixKeyLengths(algorithm, key, &iv);

    const std::string name = cipherName(algorithm, key.size(), options & kCryptorECBMode);
    if (name.empty() || key.empty()) {
        return fail(kCryptorParamError, status);
    }
    auto cipher = crypto::fetchCipher(name.c_str());
    if (!cipher) {
        return fail(kCryptorUnimplemented, status);
    }
    const auto blockSize = static_cast<std::size_t>(EVP_CIPHER_get_block_size(cipher.get()));
    if (data.size() > static_cast<std::size_t>(INT_MAX) - blockSize) {
        return fail(kCryptorParamError, status);  // more than one update call can take
    }
    const bool padding = (options & kCryptorPKCS7Padding) != 0;
    if (blockSize > 1 && data.size() % blockSize != 0 && (!encrypt || !padding)) {
        return fail(kCryptorAlignmentError, status);
    }

    std::unique_ptr<EVP_CIPHER_CTX, CtxFree> ctx(EVP_CIPHER_CTX_new());
    if (!ctx) {
        return fail(kCryptorMemoryFailure, status);
    }
    const int enc = encrypt ? 1 : 0;
    if (!EVP_CipherInit_ex2(ctx.get(), cipher.get(), nullptr, nullptr, enc, nullptr) ||
        EVP_CIPHER_CTX_set_key_length(ctx.get(), static_cast<int>(key.size())) <= 0) {
        return fail(kCryptorParamError, status);
    }
    // The cipher reads one block of the vector; a shorter one is completed with zero bytes.
    Bytes vector(static_cast<std::size_t>(std::max(EVP_CIPHER_get_iv_length(cipher.get()), 0)),
                 '\0');
    if (iv) {
        std::copy_n(iv->begin(), std::min(iv->size(), vector.size()), vector.begin());
    }
    if (!EVP_CipherInit_ex2(
            ctx.get(), nullptr, reinterpret_cast<const unsigned char*>(key.data()),
            vector.empty() ? nullptr : reinterpret_cast<const unsigned char*>(vector.data()), enc,
            nullptr)) {
        return fail(kCryptorParamError, status);
    }
    EVP_CIPHER_CTX_set_padding(ctx.get(), padding ? 1 : 0);

    Bytes out(data.size() + blockSize, '\0');
    int written = 0;
    int last = 0;
    auto* o = reinterpret_cast<unsigned char*>(out.data());
    if (!EVP_CipherUpdate(ctx.get(), o, &written,
                          reinterpret_cast<const unsigned char*>(data.data()),
                          static_cast<int>(data.size()))) {
        return fail(kCryptorParamError, status);
    }
    if (!EVP_CipherFinal_ex(ctx.get(), o + written, &last)) {
        return fail(encrypt ? kCryptorParamError : kCryptorDecodeError, status);
    }
    out.resize(static_cast<std::size_t>(written + last));
    return out;
}

std::optional<Bytes> shortcut(bool encrypt, int algorithm, const Bytes& data, const Bytes& key,
                              Error* error) {
    std::int32_t status = kCryptorSuccess;
    auto result = crypt(encrypt, data, algorithm, key, std::nullopt, kCryptorPKCS7Padding, &status);
    if (!result) {
        setError(error, errorWithCCCryptorStatus(status));
    }
    return result;
}

void fit(Bytes& bytes, std::size_t length) { bytes.resize(length, '\0'); }

}  // namespace

void FixKeyLengths(int algorithm, Bytes& key, std::optional<Bytes>* iv) {
    const std::size_t n = key.size();
    switch (algorithm) {
        case kCryptorAES: fit(key, n <= 16 ? 16 : (n <= 24 ? 24 : 32)); break;
        case kCryptorDES: fit(key, 8); break;
        case kCryptor3DES: fit(key, 24); break;
        case kCryptorCAST: fit(key, n < 6 ? 5 : std::min<std::size_t>(n, 16)); break;
        case kCryptorRC4: fit(key, std::min<std::size_t>(n, 512)); break;
        default: break;
    }
    if (iv && *iv) {
        fit(**iv, key.size());
    }
}

std::optional<Bytes> dataEncryptedUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 const std::optional<Bytes>& iv, unsigned options,
                                                 std::int32_t* status) {
    return crypt(true, data, algorithm, key, iv, options, status);
}

std::optional<Bytes> decryptedDataUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 const std::optional<Bytes>& iv, unsigned options,
                                                 std::int32_t* status) {
    return crypt(false, data, algorithm, key, iv, options, status);
}

std::optional<Bytes> dataEncryptedUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 unsigned options, std::int32_t* status) {
    return crypt(true, data, algorithm, key, std::nullopt, options, status);
}

std::optional<Bytes> decryptedDataUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 unsigned options, std::int32_t* status) {
    return crypt(false, data, algorithm, key, std::nullopt, options, status);
}

std::optional<Bytes> dataEncryptedUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 std::int32_t* status) {
    return crypt(true, data, algorithm, key, std::nullopt, 0, status);
}

std::optional<Bytes> decryptedDataUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 std::int32_t* status) {
    return crypt(false, data, algorithm, key, std::nullopt, 0, status);
}

std::optional<Bytes> AES256EncryptedDataUsingKey(const Bytes& data, const Bytes& key,
                                                 Error* error) {
    return shortcut(true, kCryptorAES, data, key, error);
}
std::optional<Bytes> decryptedAES256DataUsingKey(const Bytes& data, const Bytes& key,
                                                 Error* error) {
    return shortcut(false, kCryptorAES, data, key, error);
}
std::optional<Bytes> DESEncryptedDataUsingKey(const Bytes& data, const Bytes& key, Error* error) {
    return shortcut(true, kCryptorDES, data, key, error);
}
std::optional<Bytes> decryptedDESDataUsingKey(const Bytes& data, const Bytes& key, Error* error) {
    return shortcut(false, kCryptorDES, data, key, error);
}
std::optional<Bytes> CASTEncryptedDataUsingKey(const Bytes& data, const Bytes& key, Error* error) {
    return shortcut(true, kCryptorCAST, data, key, error);
}
std::optional<Bytes> decryptedCASTDataUsingKey(const Bytes& data, const Bytes& key, Error* error) {
    return shortcut(false, kCryptorCAST, data, key, error);
}

}  // namespace vm::data
