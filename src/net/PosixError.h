#pragma once
// A failed system call of a socket, reported alike by the TCP and the UDP socket: the domain
// "NSPOSIXErrorDomain", errno as the code, the system's text for it as the description, and what
// failed ("Error in bind() function") as the failure reason.
#include "platform/core/Error.h"

#include <string>

namespace vm {

inline constexpr const char* kPosixErrorDomain = "NSPOSIXErrorDomain";

Error posixError(int code, std::string reason);

}  // namespace vm
