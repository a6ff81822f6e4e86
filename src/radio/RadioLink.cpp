#include "radio/RadioLink.h"

#include <utility>

namespace vm {

void queueObjectCommand(const DispatchQueuePtr& queue, std::weak_ptr<const void> object,
                        std::weak_ptr<RadioLink> radio, std::string command) {
    queue->async(
        [object = std::move(object), radio = std::move(radio), command = std::move(command)] {
            const auto alive = object.lock();
            const auto link = radio.lock();
            if (alive && link) {
                link->commandToRadio(command);
            }
        });
}

}  // namespace vm
