// Binding the session as a GUI client, asking the radio to disconnect another client, and looking
// a known client up by its handle.
#include "platform/core/Log.h"
#include "radio/Client.h"
#include "radio/CommandText.h"
#include "radio/Radio.h"

namespace vm {

// `isGui` says the binding was asked for, not that the radio accepted it.
void Radio::connectAsGui(const std::optional<std::string>& clientId) {
    const std::string command =
        clientId && !clientId->empty() ? "client gui " + commandField(*clientId) : "client gui";
    isGui.set(1);
    radioRunQueue()->async([self = shared_from_this(), command] {
        if (self->debugLogLevel() >= 2) {
            log("connectAsGui:cmd:[{}]", command);
        }
        self->commandToRadio(command, &Radio::isGuiCallback);
    });
}

// Only a true number asks to be a GUI client (never with a saved id); anything else does nothing.
void Radio::setIsGui(Number value) {
    if (!value || *value == 0) {
        return;
    }
    isGui.set(value);
    queueCommand("client gui", &Radio::isGuiCallback);
}

void Radio::disconnectClientByHandle(const std::optional<std::string>& clientHandle) {
    const std::string command =
        clientHandle ? "client disconnect " + commandField(*clientHandle) : "client disconnect";
    log("Radio:disconnectClientByHandle:cmd:[{}]", command);
    commandToRadio(command, &Radio::disconnectChangeCallback);
}

// An empty handle matches nothing, not even another empty handle.
std::shared_ptr<Client> Radio::findGuiClientByClientHandle(const Client& client) const {
    return guiClients()->with([&](const auto& clients) -> std::shared_ptr<Client> {
        for (const auto& known : clients) {
            if (known && sameGuiClient(*known, client)) {
                return known;
            }
        }
        return nullptr;
    });
}

}  // namespace vm
