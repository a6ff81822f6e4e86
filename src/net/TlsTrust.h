#pragma once
// What a TCP socket hands its delegate when the owner evaluates the peer's certificates itself:
// the chain the peer sent, and the handler that takes the owner's answer.
#include "platform/core/Bytes.h"

#include <functional>
#include <vector>

namespace vm {

struct TlsTrust {
    std::vector<Bytes> certificates;  // DER, the peer's own certificate first
};

// Call it once, from any thread, at any time: true continues the handshake, false closes the
// socket. Later calls, and calls after the socket is gone, do nothing.
using TlsTrustCompletionHandler = std::function<void(bool shouldTrustPeer)>;

}  // namespace vm
