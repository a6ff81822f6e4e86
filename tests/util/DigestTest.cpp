#include "util/Digest.h"
#include "util/Hmac.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace vm {
namespace {

std::string hex(const Bytes& bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    return out;
}

// The messages and keys named in data/digest_vectors.txt (written by make_digest_vectors.sh).
const std::map<std::string, Bytes> kMessages = {
    {"empty", ""}, {"abc", "abc"}, {"fox", "The quick brown fox jumps over the lazy dog"}};
const std::map<std::string, Bytes> kKeys = {
    {"none", ""}, {"key", "key"}, {"long", std::string(200, 'k')}};

TEST(DigestTest, KnownAnswersFromOpenssl) {
    const std::map<std::string, std::function<Bytes(const Bytes&)>> digests = {
        {"md4", data::MD4Sum},        {"md5", data::MD5Sum},        {"sha1", data::SHA1Hash},
        {"sha224", data::SHA224Hash}, {"sha256", data::SHA256Hash}, {"sha384", data::SHA384Hash},
        {"sha512", data::SHA512Hash}};
    const std::map<std::string, int> hmacs = {
        {"sha1", data::kHmacSHA1},     {"md5", data::kHmacMD5},
        {"sha256", data::kHmacSHA256}, {"sha384", data::kHmacSHA384},
        {"sha512", data::kHmacSHA512}, {"sha224", data::kHmacSHA224}};

    std::ifstream in(std::string(VM_TEST_DATA) + "/digest_vectors.txt");
    ASSERT_TRUE(in);
    std::string line;
    int digestCount = 0, hmacCount = 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind, algorithm, message, key, expected;
        fields >> kind >> algorithm >> message >> key >> expected;
        SCOPED_TRACE(line);
        if (kind == "digest") {
            EXPECT_EQ(hex(digests.at(algorithm)(kMessages.at(message))), expected);
            ++digestCount;
        } else {
            ASSERT_EQ(kind, "hmac");
            EXPECT_EQ(hex(data::HMACWithAlgorithm(kMessages.at(message), hmacs.at(algorithm),
                                                  kKeys.at(key))),
                      expected);
            ++hmacCount;
        }
    }
    EXPECT_EQ(digestCount, 3 * 7);
    EXPECT_EQ(hmacCount, 3 * 6 * 3);
}

TEST(DigestTest, Md2PublishedVectors) {
    // The test suite of the MD2 RFC (OpenSSL builds have no MD2 to compare with).
    const std::pair<std::string, std::string> vectors[] = {
        {"", "8350e5a3e24c153df2275c9f80692773"},
        {"a", "32ec01ec4a6dac72c0ab96fb34c0b5d1"},
        {"abc", "da853b0d3f88d99b30283a69e6ded6bb"},
        {"message digest", "ab4f496bfb2a530b219ff33031fe06b0"},
        {"abcdefghijklmnopqrstuvwxyz", "4e8ddff3650292ab5a4108c3aa47940b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "da33def2a42df13975352846c30338cd"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "d5976f79d83d3a0dc9806c3c66f3efd8"},
    };
    for (const auto& [message, expected] : vectors) {
        EXPECT_EQ(hex(data::MD2Sum(message)), expected) << message;
    }
}

TEST(DigestTest, ResultLengths) {
    EXPECT_EQ(data::MD2Sum("").size(), 16u);
    EXPECT_EQ(data::MD5Sum("").size(), 16u);
    EXPECT_EQ(data::SHA512Hash("").size(), 64u);
    // The full HMAC of every algorithm.
    const std::pair<int, std::size_t> lengths[] = {
        {data::kHmacSHA1, 20},   {data::kHmacMD5, 16},    {data::kHmacSHA256, 32},
        {data::kHmacSHA384, 48}, {data::kHmacSHA512, 64}, {data::kHmacSHA224, 28}};
    for (const auto& [algorithm, length] : lengths) {
        EXPECT_EQ(data::HMACWithAlgorithm("x", algorithm).size(), length) << algorithm;
        EXPECT_EQ(data::HMACWithAlgorithm("x", algorithm),
                  data::HMACWithAlgorithm("x", algorithm, ""));
    }
    EXPECT_EQ(data::HMACWithAlgorithm("x", 9, "key"), "");
}

}  // namespace
}  // namespace vm
