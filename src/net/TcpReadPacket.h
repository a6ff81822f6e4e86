#pragma once
// One read request of a TCP socket: whatever is available, an exact length, or everything up to
// and including a terminator. The bytes land in the caller's buffer at an offset, or in a buffer
// the packet makes itself.
#include "net/TcpSpecialPacket.h"
#include "platform/core/Bytes.h"

#include <cstddef>
#include <memory>
#include <string_view>

namespace vm {

class TcpSocketPreBuffer;

struct TcpReadPacket {
    // `buffer` null: the packet makes its own buffer of `readLength` bytes and reads from its
    // start.
    TcpReadPacket(std::shared_ptr<Bytes> buffer, std::size_t startOffset, std::size_t maxLength,
                  double timeout, std::size_t readLength, Bytes term, long tag);

    // The place of a TLS upgrade in the read queue.
    static std::shared_ptr<TcpReadPacket> tlsUpgrade(
        std::shared_ptr<const TcpSpecialPacket> upgrade);

    bool isTermRead() const { return !term.empty(); }
    // Where the next byte of this read goes.
    char* writePosition() { return buffer->data() + startOffset + bytesDone; }

    void ensureCapacityForAdditionalDataOfLength(std::size_t length);
    // How much to read from the descriptor, given that about `hint` bytes are waiting there.
    std::size_t readLengthForNonTermWithHint(std::size_t hint) const;
    // For a terminator read; `shouldPreBuffer` says whether the bytes do not fit the free space
    // of the packet's buffer and should go into the socket's pre-buffer first.
    std::size_t readLengthForTermWithHint(std::size_t hint, bool* shouldPreBuffer) const;
    // For a read through TLS, which decrypts `defaultLength` bytes at a time unless the read
    // needs fewer; `shouldPreBuffer` as above (never for an exact-length read).
    std::size_t optimalReadLengthWithDefault(std::size_t defaultLength,
                                             bool* shouldPreBuffer) const;
    // How many bytes of the pre-buffer belong to this terminator read, and whether they end with
    // the terminator (which may start in the bytes this read already holds).
    std::size_t readLengthForTermWithPreBuffer(const TcpSocketPreBuffer& preBuffer,
                                               bool* found) const;
    // After `numBytes` new bytes were read straight into the buffer: the count of bytes after the
    // first terminator among them, or -1 when there is none.
    long searchForTermAfterPreBuffering(std::size_t numBytes) const;

    // Completes the read: trims the buffer and gives the bytes read, valid while the packet lives.
    std::string_view finish();

    std::shared_ptr<Bytes> buffer;
    std::size_t startOffset = 0;
    std::size_t bytesDone = 0;
    std::size_t maxLength = 0;   // 0: no upper bound
    double timeout = -1;         // seconds, negative: none; grows by each extension
    std::size_t readLength = 0;  // exact-length read when above 0
    Bytes term;                  // terminator read when not empty
    bool bufferOwner = true;
    std::size_t originalBufferLength = 0;
    long tag = 0;
    std::shared_ptr<const TcpSpecialPacket> special;  // set for a TLS upgrade
};

}  // namespace vm
