#include "util/Cryptor.h"

#include <gtest/gtest.h>

namespace vm {
namespace {

using namespace data;

Bytes unhex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return out;
}

const Bytes kFox = "The quick brown fox jumps over the lazy dog";

TEST(CryptorTest, KnownAnswers) {
    // Cipher texts from `openssl enc` with the fitted key and a zero vector, and the published
    // vectors of CAST-128 and RC4 for keys shorter than the cipher's longest.
    struct Case {
        const char* name;
        int algorithm;
        Bytes key;
        std::optional<Bytes> iv;
        unsigned options;
        Bytes plain;
        std::string cipherHex;
    } cases[] = {
        {"AES key of 9 bytes -> 16", kCryptorAES, "short key", std::nullopt, kCryptorPKCS7Padding,
         kFox,
         "c7d15436f530e4b66e34bbf8daeccc604f93d06e5f8d82c917b99a694fb7e992394f745787a7d17f90fb6d1c7"
         "1fb14d4"},
        {"AES key of 20 bytes -> 24", kCryptorAES, "0123456789abcdefghij", std::nullopt,
         kCryptorPKCS7Padding, kFox,
         "4c56dca29a9f7b6e32f2f5931f335f5c65003aff31d04501b81b8a03f9c2ff9f6f4626ce52bf2229ebce1fe14"
         "9ae4203"},
        {"AES key of 40 bytes -> first 32", kCryptorAES, "0123456789abcdefghij0123456789ABCDEFGHIJ",
         std::nullopt, kCryptorPKCS7Padding, kFox,
         "108265289bb58b4c22933f566952c9fa3679895f58f989fca0052765dc2a707fcb3132ebcd1aeb48df357f1ef"
         "1e71c81"},
        {"AES ECB", kCryptorAES, "short key", std::nullopt, kCryptorPKCS7Padding | kCryptorECBMode,
         kFox,
         "c7d15436f530e4b66e34bbf8daeccc6072252c548184f01886d801d5d43d50b029aae0d5eb9ab3e5e53e098c4"
         "8cb3be4"},
        {"AES with a short vector", kCryptorAES, "short key", Bytes("iv text"),
         kCryptorPKCS7Padding, kFox,
         "b09d1e03b7715e5fdf994addc96047ace5a8cc83edd92f50136efa2ca793f66016515f6dfbe1a064ca469f0fa"
         "e9040f0"},
        {"DES", kCryptorDES, "des", std::nullopt, kCryptorPKCS7Padding, kFox,
         "e464325da93218a894472f3e74d9dde3f67642ba908dcf3c8f570f5da5426757a0c56379f3a69cef3d1d25d9b"
         "ff2e0e1"},
        {"triple DES", kCryptor3DES, "triple", std::nullopt, kCryptorPKCS7Padding, kFox,
         "ff6e33d1188a8d1f41bd3bb354a6b50789589f0c642b400b1247a87ed7b97c77ea78f8915e97f9b521ba9580d"
         "b48f681"},
        {"CAST 128-bit", kCryptorCAST, unhex("0123456712345678234567893456789a"), std::nullopt,
         kCryptorECBMode, unhex("0123456789abcdef"), "238b4fe5847e44b2"},
        {"CAST 80-bit", kCryptorCAST, unhex("01234567123456782345"), std::nullopt, kCryptorECBMode,
         unhex("0123456789abcdef"), "eb6a711a2c02271b"},
        {"CAST 40-bit", kCryptorCAST, unhex("0123456712"), std::nullopt, kCryptorECBMode,
         unhex("0123456789abcdef"), "7ac816d16e9b302e"},
        {"RC4", kCryptorRC4, "Key", std::nullopt, 0, "Plaintext", "bbf316e8d940af0ad3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::int32_t status = 12345;
        const auto encrypted =
            dataEncryptedUsingAlgorithm(c.plain, c.algorithm, c.key, c.iv, c.options, &status);
        ASSERT_TRUE(encrypted);
        EXPECT_EQ(*encrypted, unhex(c.cipherHex));
        EXPECT_EQ(
            decryptedDataUsingAlgorithm(*encrypted, c.algorithm, c.key, c.iv, c.options, &status),
            c.plain);
        EXPECT_EQ(status, 12345);  // untouched on success
    }
}

TEST(CryptorTest, KeyFitting) {
    struct Case {
        int algorithm;
        std::size_t in, out;
    } cases[] = {
        {kCryptorAES, 0, 16},  {kCryptorAES, 10, 16},   {kCryptorAES, 17, 24},
        {kCryptorAES, 24, 24}, {kCryptorAES, 25, 32},   {kCryptorAES, 40, 32},
        {kCryptorDES, 3, 8},   {kCryptorDES, 20, 8},    {kCryptor3DES, 8, 24},
        {kCryptorCAST, 1, 5},  {kCryptorCAST, 6, 6},    {kCryptorCAST, 20, 16},
        {kCryptorRC4, 3, 3},   {kCryptorRC4, 600, 512}, {9, 7, 7},
    };
    for (const auto& c : cases) {
        Bytes key(c.in, 'k');
        std::optional<Bytes> iv = Bytes(3, 'v');
        FixKeyLengths(c.algorithm, key, &iv);
        EXPECT_EQ(key.size(), c.out) << c.algorithm << " " << c.in;
        EXPECT_EQ(iv->size(), c.out);
    }
    Bytes key = "0123456789";
    FixKeyLengths(kCryptorAES, key, nullptr);
    EXPECT_EQ(key, Bytes("0123456789") + Bytes(6, '\0'));  // padded with zero bytes
}

TEST(CryptorTest, FailuresReportTheirStatus) {
    std::int32_t status = 0;
    // No padding asked for: 15 bytes are not a whole AES block.
    EXPECT_EQ(dataEncryptedUsingAlgorithm(Bytes(15, 'x'), kCryptorAES, "key", &status),
              std::nullopt);
    EXPECT_EQ(status, kCryptorAlignmentError);
    EXPECT_TRUE(dataEncryptedUsingAlgorithm(Bytes(16, 'x'), kCryptorAES, "key", &status));

    // A last block without valid padding.
    const auto plain = dataEncryptedUsingAlgorithm(Bytes(16, 'x'), kCryptorAES, "key", &status);
    status = 0;
    EXPECT_EQ(
        decryptedDataUsingAlgorithm(*plain, kCryptorAES, "key", kCryptorPKCS7Padding, &status),
        std::nullopt);
    EXPECT_EQ(status, kCryptorDecodeError);

    EXPECT_EQ(dataEncryptedUsingAlgorithm("x", 42, "key", kCryptorPKCS7Padding, &status),
              std::nullopt);
    EXPECT_EQ(status, kCryptorParamError);
    EXPECT_EQ(dataEncryptedUsingAlgorithm("x", kCryptorRC4, "", nullptr),
              std::nullopt);  // no status wanted
}

TEST(CryptorTest, Shortcuts) {
    Error error;
    using Shortcut = std::optional<Bytes> (*)(const Bytes&, const Bytes&, Error*);
    const std::pair<Shortcut, Shortcut> shortcuts[] = {
        {AES256EncryptedDataUsingKey, decryptedAES256DataUsingKey},
        {DESEncryptedDataUsingKey, decryptedDESDataUsingKey},
        {CASTEncryptedDataUsingKey, decryptedCASTDataUsingKey}};
    for (const auto& [encrypt, decrypt] : shortcuts) {
        const auto sealed = encrypt(kFox, "secret", &error);
        ASSERT_TRUE(sealed);
        EXPECT_EQ(sealed->size() % 8, 0u);
        EXPECT_EQ(decrypt(*sealed, "secret", &error), kFox);
    }
    // AES with a key of up to 16 bytes is AES-128 with a zero vector and padding.
    EXPECT_EQ(
        AES256EncryptedDataUsingKey(kFox, "short key", nullptr),
        dataEncryptedUsingAlgorithm(kFox, kCryptorAES, "short key", kCryptorPKCS7Padding, nullptr));

    const auto sealed = AES256EncryptedDataUsingKey(kFox, "right", nullptr);
    EXPECT_EQ(decryptedAES256DataUsingKey(*sealed, "wrong", &error), std::nullopt);
    EXPECT_EQ(error, (Error{"CommonCryptoErrorDomain", kCryptorDecodeError, "Decode Error",
                            "Input data did not decode or decrypt correctly"}));
}

TEST(CryptorTest, ErrorTexts) {
    struct Case {
        std::int32_t status;
        const char* description;
        const char* reason;
    } cases[] = {
        {-4300, "Parameter Error", "Illegal parameter supplied to encryption/decryption algorithm"},
        {-4301, "Buffer Too Small", "Insufficient buffer provided for specified operation"},
        {-4302, "Memory Failure", "Failed to allocate memory"},
        {-4303, "Alignment Error", "Input size to encryption algorithm was not aligned correctly"},
        {-4304, "Decode Error", "Input data did not decode or decrypt correctly"},
        {-4305, "Unimplemented Function", "Function not implemented for the current algorithm"},
        {0, "Success", ""},
        {-1, "Unknown Error", ""},
    };
    for (const auto& c : cases) {
        const Error e = errorWithCCCryptorStatus(c.status);
        EXPECT_EQ(e.domain, "CommonCryptoErrorDomain");
        EXPECT_EQ(e.code, c.status);
        EXPECT_EQ(e.description, c.description);
        EXPECT_EQ(e.failureReason, c.reason);
    }
}

}  // namespace
}  // namespace vm
