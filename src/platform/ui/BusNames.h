#pragma once
// Whether a program runs that holds a name on the bus: how the program finds its sibling
// applications, which hold their names while they run, as this one holds its own
// (SingleInstance).
#include <QDBusConnection>

#include <string>

namespace vm {

// False also when the bus does not answer.
bool busNameHasOwner(const std::string& name,
                     const QDBusConnection& bus = QDBusConnection::sessionBus());

}  // namespace vm
