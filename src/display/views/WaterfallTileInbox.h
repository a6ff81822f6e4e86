#pragma once
// Hands the waterfall's tiles from its stream queue to the main thread. The stream side only
// appends to a locked list (never waiting on the main thread); the first tile of a batch queues
// one main-queue task that takes the whole list, so a busy main thread gets the tiles in arrival
// order, in one call, however many have come.
#include "display/WaterfallTile.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vm {

class WaterfallTileInbox : public WaterfallData,
                           public std::enable_shared_from_this<WaterfallTileInbox> {
public:
    using Tiles = std::vector<std::shared_ptr<WaterfallTile>>;
    using Receiver = std::function<void(Tiles&)>;

    static std::shared_ptr<WaterfallTileInbox> create(Receiver receiver);

    // Any thread.
    void waterfallTile(const std::shared_ptr<WaterfallTile>& tile) override;
    // Main thread: no later batch reaches the receiver.
    void disconnect() { receiver_ = nullptr; }

private:
    explicit WaterfallTileInbox(Receiver receiver) : receiver_(std::move(receiver)) {}
    void deliver();

    Receiver receiver_;  // main thread only
    std::mutex mutex_;
    Tiles pending_;
};

}  // namespace vm
