#pragma once
// One write request of a TCP socket.
#include "net/TcpSpecialPacket.h"
#include "platform/core/Bytes.h"

#include <cstddef>
#include <memory>

namespace vm {

struct TcpWritePacket {
    Bytes buffer;
    std::size_t bytesDone = 0;
    long tag = 0;
    double timeout = -1;  // seconds, negative: none; grows by each extension
    std::shared_ptr<const TcpSpecialPacket> special = nullptr;  // set for a TLS upgrade
};

}  // namespace vm
