#pragma once
// One write request of a TCP socket.
#include "platform/core/Bytes.h"

#include <cstddef>

namespace vm {

struct TcpWritePacket {
    Bytes buffer;
    std::size_t bytesDone = 0;
    long tag = 0;
    double timeout = -1;  // seconds, negative: none; grows by each extension
};

}  // namespace vm
