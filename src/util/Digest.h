#pragma once
// Message digests of a byte string (MD5Sum of no bytes is the digest of empty input).
#include "platform/core/Bytes.h"

namespace vm::data {

Bytes MD2Sum(const Bytes& data);      // 16 bytes
Bytes MD4Sum(const Bytes& data);      // 16 bytes
Bytes MD5Sum(const Bytes& data);      // 16 bytes
Bytes SHA1Hash(const Bytes& data);    // 20 bytes
Bytes SHA224Hash(const Bytes& data);  // 28 bytes
Bytes SHA256Hash(const Bytes& data);  // 32 bytes
Bytes SHA384Hash(const Bytes& data);  // 48 bytes
Bytes SHA512Hash(const Bytes& data);  // 64 bytes

}  // namespace vm::data
