#include "net/TcpReadPacket.h"

#include "net/TcpSocketPreBuffer.h"

#include <algorithm>
#include <cstring>

namespace vm {

TcpReadPacket::TcpReadPacket(std::shared_ptr<Bytes> callerBuffer, std::size_t offset,
                             std::size_t maxLen, double timeoutSeconds, std::size_t length,
                             Bytes terminator, long readTag)
    : startOffset(offset),
      maxLength(maxLen),
      timeout(timeoutSeconds),
      readLength(length),
      term(std::move(terminator)),
      tag(readTag) {
    if (callerBuffer) {
        buffer = std::move(callerBuffer);
        bufferOwner = false;
        originalBufferLength = buffer->size();
    } else {
        buffer = std::make_shared<Bytes>(readLength, '\0');
        startOffset = 0;
        bufferOwner = true;
        originalBufferLength = 0;
    }
}

std::shared_ptr<TcpReadPacket> TcpReadPacket::tlsUpgrade(
    std::shared_ptr<const TcpSpecialPacket> upgrade) {
    auto packet = std::make_shared<TcpReadPacket>(nullptr, 0, 0, -1.0, 0, Bytes(), 0);
    packet->special = std::move(upgrade);
    return packet;
}

void TcpReadPacket::ensureCapacityForAdditionalDataOfLength(std::size_t length) {
    const std::size_t used = startOffset + bytesDone;
    const std::size_t space = buffer->size() - used;
    if (length > space) {
        buffer->resize(buffer->size() + (length - space));
    }
}

std::size_t TcpReadPacket::readLengthForNonTermWithHint(std::size_t hint) const {
    if (readLength > 0) {
        return std::min(hint, readLength - bytesDone);
    }
    return maxLength > 0 ? std::min(hint, maxLength - bytesDone) : hint;
}

std::size_t TcpReadPacket::readLengthForTermWithHint(std::size_t hint,
                                                     bool* shouldPreBuffer) const {
    const std::size_t result = maxLength > 0 ? std::min(hint, maxLength - bytesDone) : hint;
    const std::size_t space = buffer->size() - startOffset - bytesDone;
    *shouldPreBuffer = space < result;
    return result;
}

std::size_t TcpReadPacket::optimalReadLengthWithDefault(std::size_t defaultLength,
                                                        bool* shouldPreBuffer) const {
    if (readLength > 0) {
        *shouldPreBuffer = false;
        return readLength - bytesDone;
    }
    return readLengthForTermWithHint(defaultLength, shouldPreBuffer);  // the same rule
}

std::size_t TcpReadPacket::readLengthForTermWithPreBuffer(const TcpSocketPreBuffer& preBuffer,
                                                          bool* found) const {
    const std::size_t t = term.size();
    const std::size_t p = preBuffer.availableBytes();
    *found = false;
    if (bytesDone + p < t) {
        return p;
    }
    const std::size_t m = maxLength > 0 ? std::min(p, maxLength - bytesDone) : p;
    // The last k bytes already delivered may hold the start of a terminator that ends in the
    // pre-buffer: search the k delivered bytes followed by the first m pre-buffer bytes.
    const std::size_t k = std::min(bytesDone, t - 1);
    const char* delivered = buffer->data() + startOffset + bytesDone - k;
    const char* pre = preBuffer.readBuffer();
    for (std::size_t i = 0; i + t <= k + m; ++i) {
        std::size_t j = 0;
        for (; j < t; ++j) {
            const std::size_t pos = i + j;
            const char c = pos < k ? delivered[pos] : pre[pos - k];
            if (c != term[j]) {
                break;
            }
        }
        if (j == t) {
            *found = true;
            return i + t - k;
        }
    }
    return m;
}

long TcpReadPacket::searchForTermAfterPreBuffering(std::size_t numBytes) const {
    const std::size_t t = term.size();
    const char* base = buffer->data() + startOffset;
    const std::size_t end = bytesDone + numBytes;
    for (std::size_t i = bytesDone >= t ? bytesDone - t + 1 : 0; i + t <= end; ++i) {
        if (std::memcmp(base + i, term.data(), t) == 0) {
            return static_cast<long>(end - i - t);
        }
    }
    return -1;
}

std::string_view TcpReadPacket::finish() {
    if (bufferOwner) {
        buffer->resize(bytesDone);
        return *buffer;
    }
    if (buffer->size() > originalBufferLength) {
        buffer->resize(std::max(startOffset + bytesDone, originalBufferLength));
    }
    return std::string_view(buffer->data() + startOffset, bytesDone);
}

}  // namespace vm
