#include "audio/RemoteAudio.h"

#include <fmt/format.h>

namespace vm {

void RemoteAudio::setRxOn(bool on) {
    rxOn.set(on);
    if (const DispatchQueuePtr queue = runQueue()) {
        queueObjectCommand(queue, weak_from_this(), radio_,
                           fmt::format("remote_audio rx_on {}", on ? 1 : 0));
    }
}

}  // namespace vm
