#pragma once
// Property-list values as D-Bus values: booleans "b", integers "x", reals "d", strings "s", data
// "ay", arrays "av" and dictionaries "a{sv}". Read back from whatever a sender used of the basic
// types and of arrays and string-keyed dictionaries.
#include "platform/core/PlistValue.h"

#include <QVariant>

#include <optional>

namespace vm::dbus {

QVariant toDBus(const PlistValue& value);
QVariantMap toDBus(const PlistDict& dictionary);

// nullopt for what a property list cannot hold (object paths, descriptors, structures...).
std::optional<PlistValue> fromDBus(const QVariant& value);

}  // namespace vm::dbus
