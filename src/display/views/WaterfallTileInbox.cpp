#include "display/views/WaterfallTileInbox.h"

#include "platform/core/DispatchQueue.h"

namespace vm {

std::shared_ptr<WaterfallTileInbox> WaterfallTileInbox::create(Receiver receiver) {
    return std::shared_ptr<WaterfallTileInbox>(new WaterfallTileInbox(std::move(receiver)));
}

void WaterfallTileInbox::waterfallTile(const std::shared_ptr<WaterfallTile>& tile) {
    bool first = false;
    {
        std::lock_guard lock(mutex_);
        first = pending_.empty();
        pending_.push_back(tile);
    }
    if (first) {
        DispatchQueue::main()->async([weak = weak_from_this()] {
            if (const auto inbox = weak.lock()) {
                inbox->deliver();
            }
        });
    }
}

void WaterfallTileInbox::deliver() {
    Tiles tiles;
    {
        std::lock_guard lock(mutex_);
        tiles.swap(pending_);
    }
    if (receiver_) {
        receiver_(tiles);
    }
}

}  // namespace vm
