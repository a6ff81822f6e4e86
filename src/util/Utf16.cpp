#include "util/Utf16.h"

#include <unicode/ustring.h>

namespace vm::utf16 {

namespace {
constexpr UChar32 kReplacement = 0xFFFD;
}

std::u16string fromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strFromUTF8WithSub(nullptr, 0, &needed, text.data(), static_cast<int32_t>(text.size()),
                         kReplacement, nullptr, &status);
    std::u16string out(static_cast<std::size_t>(needed), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(out.data(), needed, &needed, text.data(),
                         static_cast<int32_t>(text.size()), kReplacement, nullptr, &status);
    return U_SUCCESS(status) ? out : std::u16string();
}

std::string toUtf8(std::u16string_view text) {
    if (text.empty()) {
        return {};
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strToUTF8WithSub(nullptr, 0, &needed, text.data(), static_cast<int32_t>(text.size()),
                       kReplacement, nullptr, &status);
    std::string out(static_cast<std::size_t>(needed), '\0');
    status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), needed, &needed, text.data(), static_cast<int32_t>(text.size()),
                       kReplacement, nullptr, &status);
    return U_SUCCESS(status) ? out : std::string();
}

std::size_t length(std::string_view text) { return fromUtf8(text).size(); }

bool isValidUtf8(std::string_view bytes) {
    if (bytes.empty()) {
        return true;
    }
    UErrorCode status = U_ZERO_ERROR;
    int32_t needed = 0;
    u_strFromUTF8(nullptr, 0, &needed, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    return status == U_BUFFER_OVERFLOW_ERROR || U_SUCCESS(status);
}

}  // namespace vm::utf16
