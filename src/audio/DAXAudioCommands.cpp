#include "audio/DAXAudio.h"

#include <fmt/format.h>

namespace vm {

void DAXAudio::storeSlice(std::weak_ptr<Slice> slice, int number) {
    std::lock_guard lock(lock_);
    slice_ = std::move(slice);
    sliceNumber_ = slice_.expired() ? -1 : number;
}

void DAXAudio::setTransmitEnabled(bool enabled) {
    const std::string command =
        fmt::format("dax audio set {} tx={}", daxChannel().value_or(0), enabled ? 1 : 0);
    transmitEnabled.set(enabled ? 1 : 0);
    if (const DispatchQueuePtr queue = runQueue()) {
        queueObjectCommand(queue, weak_from_this(), radio_, command);
    }
}

// Without a slice the gain is only kept (stored on the main queue); with one it is also sent.
void DAXAudio::setRxGain(int gain) {
    int number = -1;
    {
        std::lock_guard lock(lock_);
        if (!slice_.expired()) {
            number = sliceNumber_;
        }
    }
    if (number < 0) {
        DispatchQueue::main()->async([self = shared_from_this(), gain] { self->rxGain.set(gain); });
        return;
    }
    rxGain.set(gain);
    if (const DispatchQueuePtr queue = runQueue()) {
        queueObjectCommand(
            queue, weak_from_this(), radio_,
            fmt::format("audio stream {} slice {} gain {}", streamId(), number, gain));
    }
}

void DAXAudio::setTxGain(int gain) {
    DispatchQueue::main()->async([self = shared_from_this(), gain] { self->txGain.set(gain); });
}

}  // namespace vm
