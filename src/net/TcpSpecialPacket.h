#pragma once
// A TLS upgrade request: one of these stands in both the read and the write queue of a TCP
// socket, so the handshake starts only when every read and write requested before it is done.
#include "net/TlsSettings.h"

namespace vm {

struct TcpSpecialPacket {
    TlsSettings tlsSettings;
};

}  // namespace vm
