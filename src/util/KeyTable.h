#pragma once
// The keys a controller observes on one kind of model object, as rows the compiler checks: a row
// names the property by its member pointer and the handler it reaches, so a key the object does
// not declare cannot be written, and the key's text is the property's own name, read from the
// object when the table is bound.
//
//     static const KeyTable<SlicePanelController, Slice> rows = {
//         {&Slice::sliceAudioLevel, &SlicePanelController::sliceAudioLevelChanged},
//         {&Slice::sliceNrLevel, [](SlicePanelController& c, const auto& slice, const Change*) {
//              ...
//          }},
//     };
//     bindKeys(manager, rows, slice, controller);
#include "platform/core/Observable.h"
#include "util/VMKVOManager.h"

#include <concepts>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace vm {

template <class Target, class Object>
class KeyRow {
public:
    using Method = void (Target::*)(const std::shared_ptr<Object>&, const Change*);
    using Handler = std::function<void(Target&, const std::shared_ptr<Object>&, const Change*)>;

    template <class Property, class Owner>
    requires std::derived_from<Property, ObservedProperty> && std::derived_from<Object, Owner>
    KeyRow(Property Owner::*property, Method method)
        : KeyRow(property,
                 Handler([method](Target& target, const std::shared_ptr<Object>& object,
                                  const Change* change) { (target.*method)(object, change); })) {}

    template <class Property, class Owner>
    requires std::derived_from<Property, ObservedProperty> && std::derived_from<Object, Owner>
    KeyRow(Property Owner::*property, Handler handler)
        : property_([property](const Object& object) -> const ObservedProperty& {
              return object.*property;
          }),
          handler_(std::move(handler)) {}

    // The observed property of this row on an object, and its key.
    const ObservedProperty& property(const Object& object) const { return property_(object); }
    const char* key(const Object& object) const { return property_(object).key(); }
    const Handler& handler() const { return handler_; }

private:
    std::function<const ObservedProperty&(const Object&)> property_;
    Handler handler_;
};

template <class Target, class Object>
using KeyTable = std::vector<KeyRow<Target, Object>>;

// The manager's table for one object: each row under the key the object gives its property.
template <class Target, class Object>
VMKVOManager::Table managerTable(const KeyTable<Target, Object>& rows, const Object& object) {
    VMKVOManager::Table table;
    table.reserve(rows.size());
    for (const auto& row : rows) {
        table.emplace_back(row.key(object),
                           [handler = row.handler()](const std::shared_ptr<void>& target,
                                                     const std::shared_ptr<Observable>& observed,
                                                     const Change* change) {
                               handler(*static_cast<Target*>(target.get()),
                                       std::static_pointer_cast<Object>(observed), change);
                           });
    }
    return table;
}

// Gives the manager the rows' table for the object, binds it to the object and the target and
// pushes every value once.
template <class Target, class Object>
void bindKeys(VMKVOManager& manager, const KeyTable<Target, Object>& rows,
              const std::shared_ptr<Object>& object, const std::shared_ptr<Target>& target) {
    manager.setKvoTargets(managerTable(rows, *object));
    manager.initKVO(object, target);
    manager.initValues();
}

}  // namespace vm
