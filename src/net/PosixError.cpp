#include "net/PosixError.h"

#include <cstring>

namespace vm {

Error posixError(int code, std::string reason) {
    return Error{kPosixErrorDomain, code, std::strerror(code), std::move(reason)};
}

}  // namespace vm
