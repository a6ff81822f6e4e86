#include "dorolink/WanLineBuffer.h"

namespace vm {

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

WanLineBuffer::Result WanLineBuffer::append(std::string_view bytes) {
    Result result;
    while (!bytes.empty()) {
        std::size_t end = 0;
        while (end < bytes.size() && !isLineEnd(bytes[end])) {
            ++end;
        }
        const std::string_view piece = bytes.substr(0, end);
        if (skipping_) {
            result.droppedBytes += piece.size();
        } else if (pending_.size() + piece.size() > kMaxMessageLength) {
            result.droppedBytes += pending_.size() + piece.size();
            pending_.clear();
            skipping_ = true;
        } else {
            pending_.append(piece);
        }
        if (end == bytes.size()) {
            break;  // the message goes on in a later read
        }
        if (!pending_.empty()) {
            result.messages.push_back(std::move(pending_));
            pending_.clear();
        }
        skipping_ = false;
        bytes.remove_prefix(end + 1);
    }
    return result;
}

void WanLineBuffer::clear() {
    pending_.clear();
    skipping_ = false;
}

}  // namespace vm
