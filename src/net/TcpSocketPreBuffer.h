#pragma once
// Bytes a TCP socket has read ahead of the read that will consume them: a linear buffer with a
// read offset and a write offset. Consuming everything moves both offsets back to the start.
#include <cstddef>
#include <vector>

namespace vm {

class TcpSocketPreBuffer {
public:
    explicit TcpSocketPreBuffer(std::size_t capacity) : storage_(capacity) {}

    std::size_t availableBytes() const { return write_ - read_; }
    std::size_t availableSpace() const { return storage_.size() - write_; }

    // Makes room for `length` more bytes after the write offset. Unread bytes are moved to the
    // front first when consumed space lies before them, so a buffer that never quite drains
    // does not grow with every read.
    void ensureCapacityForWrite(std::size_t length);

    const char* readBuffer() const { return storage_.data() + read_; }
    char* writeBuffer() { return storage_.data() + write_; }

    void didRead(std::size_t length);
    void didWrite(std::size_t length) { write_ += length; }
    void reset() { read_ = write_ = 0; }

    std::size_t capacity() const { return storage_.size(); }

private:
    std::vector<char> storage_;
    std::size_t read_ = 0;
    std::size_t write_ = 0;
};

}  // namespace vm
