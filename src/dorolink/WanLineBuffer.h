#pragma once
// The DoroLink server's stream cut into messages: bytes are kept until a line end (a carriage
// return or a line feed) closes a message, so a message that arrives over several reads, or a
// character whose bytes are split between reads, stays whole, and several messages in one read
// stay apart. Empty lines (the second half of "\r\n") are no messages. A message that grows
// beyond kMaxMessageLength without a line end is dropped up to its line end, so a server that
// never ends a line cannot make the buffer grow without bound.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

class WanLineBuffer {
public:
    static constexpr std::size_t kMaxMessageLength = 1024 * 1024;

    struct Result {
        std::vector<std::string> messages;  // complete, in arrival order, without line ends
        std::size_t droppedBytes = 0;       // of an overlong message, counted when dropped
    };

    Result append(std::string_view bytes);
    // The bytes of the message not finished yet.
    std::size_t pendingLength() const { return pending_.size(); }
    void clear();

private:
    std::string pending_;
    bool skipping_ = false;  // inside an overlong message: everything up to its end is dropped
};

}  // namespace vm
