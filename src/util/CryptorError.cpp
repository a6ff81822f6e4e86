// The errors of the cipher helpers.
#include "util/Cryptor.h"

namespace vm::data {

namespace {

struct StatusText {
    std::int32_t status;
    const char* description;
    const char* reason;
};

constexpr StatusText kTexts[] = {
    {kCryptorParamError, "Parameter Error",
     "Illegal parameter supplied to encryption/decryption algorithm"},
    {kCryptorBufferTooSmall, "Buffer Too Small",
     "Insufficient buffer provided for specified operation"},
    {kCryptorMemoryFailure, "Memory Failure", "Failed to allocate memory"},
    {kCryptorAlignmentError, "Alignment Error",
     "Input size to encryption algorithm was not aligned correctly"},
    {kCryptorDecodeError, "Decode Error", "Input data did not decode or decrypt correctly"},
    {kCryptorUnimplemented, "Unimplemented Function",
     "Function not implemented for the current algorithm"},
    {kCryptorSuccess, "Success", ""},
};

const StatusText* find(std::int32_t status) {
    for (const auto& t : kTexts) {
        if (t.status == status) {
            return &t;
        }
    }
    return nullptr;
}

}  // namespace

Error errorWithCCCryptorStatus(std::int32_t status) {
    const auto* text = find(status);
    return Error{"CommonCryptoErrorDomain", status, text ? text->description : "Unknown Error",
                 text ? text->reason : ""};
}

}  // namespace vm::data
