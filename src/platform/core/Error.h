#pragma once
// An error of a failed operation: a domain such as "TcpSocketErrorDomain", a code, and a text for
// people.
#include <string>

namespace vm {

struct Error {
    std::string domain;
    long code = 0;
    std::string description;
    std::string failureReason = {};  // why the operation failed, where the text above is generic

    bool operator==(const Error&) const = default;
};

// Fills `out` when the caller asked for the error.
inline void setError(Error* out, Error error) {
    if (out) {
        *out = std::move(error);
    }
}

}  // namespace vm
