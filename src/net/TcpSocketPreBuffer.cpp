#include "net/TcpSocketPreBuffer.h"

#include <cstring>

namespace vm {

void TcpSocketPreBuffer::ensureCapacityForWrite(std::size_t length) {
    if (availableSpace() >= length) {
        return;
    }
    if (read_ > 0) {
        const std::size_t unread = availableBytes();
        std::memmove(storage_.data(), storage_.data() + read_, unread);
        read_ = 0;
        write_ = unread;
    }
    if (availableSpace() < length) {
        storage_.resize(storage_.size() + (length - availableSpace()));
    }
}

void TcpSocketPreBuffer::didRead(std::size_t length) {
    read_ += length;
    if (read_ >= write_) {
        read_ = write_ = 0;
    }
}

}  // namespace vm
