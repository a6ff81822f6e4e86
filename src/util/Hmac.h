#pragma once
// Keyed message authentication codes (HMAC) of a byte string, the full length of the algorithm.
#include "platform/core/Bytes.h"

namespace vm::data {

enum HmacAlgorithm : int {
    kHmacSHA1 = 0,
    kHmacMD5 = 1,
    kHmacSHA256 = 2,
    kHmacSHA384 = 3,
    kHmacSHA512 = 4,
    kHmacSHA224 = 5,
};

// The key may be text or bytes; no key is the empty key. Empty for an unknown algorithm.
Bytes HMACWithAlgorithm(const Bytes& data, int algorithm, const Bytes& key);
Bytes HMACWithAlgorithm(const Bytes& data, int algorithm);

}  // namespace vm::data
