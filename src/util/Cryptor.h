#pragma once
// Symmetric encryption and decryption (AES, DES, triple DES, CAST-128, RC4) in CBC mode (the
// default) or ECB, with or without PKCS #7 padding. The low-level forms report a status number;
// the AES, DES and CAST shortcuts report an Error of domain "CommonCryptoErrorDomain".
//
// Keys are fitted to the algorithm first (zero bytes appended, or cut from the end): AES to 16,
// 24 or 32 bytes by the key's length, DES to 8, triple DES to 24, CAST to 5..16, RC4 to at most
// 512; an initialisation vector is then fitted to the key's new length. No vector is an all-zero
// vector.
#include "platform/core/Bytes.h"
#include "platform/core/Error.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vm::data {

enum CryptorStatus : std::int32_t {
    kCryptorSuccess = 0,
    kCryptorParamError = -4300,
    kCryptorBufferTooSmall = -4301,
    kCryptorMemoryFailure = -4302,
    kCryptorAlignmentError = -4303,
    kCryptorDecodeError = -4304,
    kCryptorUnimplemented = -4305,
};

enum CryptorAlgorithm : int {
    kCryptorAES = 0,  // AES-128, -192 or -256 by the fitted key
    kCryptorDES = 1,
    kCryptor3DES = 2,
    kCryptorCAST = 3,
    kCryptorRC4 = 4,
};

enum CryptorOption : unsigned {
    kCryptorPKCS7Padding = 1,
    kCryptorECBMode = 2,
};

// The fitting described above, in place.
void FixKeyLengths(int algorithm, Bytes& key, std::optional<Bytes>* iv);

// nullopt on failure, with the status stored through `status` (left untouched on success).
std::optional<Bytes> dataEncryptedUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 const std::optional<Bytes>& iv, unsigned options,
                                                 std::int32_t* status);
std::optional<Bytes> decryptedDataUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 const std::optional<Bytes>& iv, unsigned options,
                                                 std::int32_t* status);
std::optional<Bytes> dataEncryptedUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 unsigned options, std::int32_t* status);
std::optional<Bytes> decryptedDataUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 unsigned options, std::int32_t* status);
// CBC without padding: the input must be a whole number of cipher blocks.
std::optional<Bytes> dataEncryptedUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 std::int32_t* status);
std::optional<Bytes> decryptedDataUsingAlgorithm(const Bytes& data, int algorithm, const Bytes& key,
                                                 std::int32_t* status);

// Shortcuts with PKCS #7 padding and no vector.
std::optional<Bytes> AES256EncryptedDataUsingKey(const Bytes& data, const Bytes& key, Error* error);
std::optional<Bytes> decryptedAES256DataUsingKey(const Bytes& data, const Bytes& key, Error* error);
std::optional<Bytes> DESEncryptedDataUsingKey(const Bytes& data, const Bytes& key, Error* error);
std::optional<Bytes> decryptedDESDataUsingKey(const Bytes& data, const Bytes& key, Error* error);
std::optional<Bytes> CASTEncryptedDataUsingKey(const Bytes& data, const Bytes& key, Error* error);
std::optional<Bytes> decryptedCASTDataUsingKey(const Bytes& data, const Bytes& key, Error* error);

// The error of a status: description "Parameter Error", "Decode Error"... ("Success",
// "Unknown Error" for other codes), and for the six failure statuses their failure reason.
Error errorWithCCCryptorStatus(std::int32_t status);

}  // namespace vm::data
