#include "util/Digest.h"

#include "platform/core/Log.h"
#include "util/CryptoLibrary.h"
#include "util/Md2.h"

#include <memory>

namespace vm::data {

namespace {

Bytes digest(const char* name, const Bytes& data) {
    auto md = crypto::fetchDigest(name);
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!md || !EVP_Digest(data.data(), data.size(), out, &length, md.get(), nullptr)) {
        log("digest:error:{} unavailable", name);
        return {};
    }
    return Bytes(reinterpret_cast<const char*>(out), length);
}

}  // namespace

Bytes MD2Sum(const Bytes& data) { return crypto::md2(data); }
Bytes MD4Sum(const Bytes& data) { return digest("MD4", data); }
Bytes MD5Sum(const Bytes& data) { return digest("MD5", data); }
Bytes SHA1Hash(const Bytes& data) { return digest("SHA1", data); }
Bytes SHA224Hash(const Bytes& data) { return digest("SHA224", data); }
Bytes SHA256Hash(const Bytes& data) { return digest("SHA256", data); }
Bytes SHA384Hash(const Bytes& data) { return digest("SHA384", data); }
Bytes SHA512Hash(const Bytes& data) { return digest("SHA512", data); }

}  // namespace vm::data
