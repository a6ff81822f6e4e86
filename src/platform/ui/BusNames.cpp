#include "platform/ui/BusNames.h"

#include <QDBusConnectionInterface>

namespace vm {

bool busNameHasOwner(const std::string& name, const QDBusConnection& bus) {
    if (!bus.isConnected() || !bus.interface()) {
        return false;
    }
    const auto reply = bus.interface()->isServiceRegistered(QString::fromStdString(name));
    return reply.isValid() && reply.value();
}

}  // namespace vm
