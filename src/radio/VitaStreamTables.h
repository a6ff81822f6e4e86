#pragma once
// The stream router's view of the session's stream tables. The tables hold the objects of later
// subsystems (meters, panadapters, waterfalls, audio streams) under their own locks; the router
// needs only their handler side. A view finds the object under a key while holding the table's
// lock and shows it to a visitor, still under the lock; the router decides whether it calls the
// handler there or after the lock is left.
#include "radio/RadioTypes.h"
#include "radio/VitaStreamHandler.h"

#include <functional>
#include <memory>
#include <string>

namespace vm {

// `visit` runs with the object stored under `key`, or with nullptr, while the table is locked.
template <class Handler>
using VitaTableView = std::function<void(const std::string& key,
                                         const std::function<void(const std::shared_ptr<Handler>&)>& visit)>;

// One view per table; a table without a view routes nothing.
struct VitaStreamTables {
    VitaTableView<VitaManagerMeterUpdate> meters;  // keyed "%i" of the meter number
    VitaTableView<VitaStreamHandler> panafalls;    // keyed "0x%08X" of the stream id
    VitaTableView<VitaStreamHandler> waterfalls;
    VitaTableView<VitaStreamHandler> opusAudioStreamHandlers;
    VitaTableView<VitaStreamHandler> remoteAudioStreamHandlers;
    VitaTableView<VitaStreamHandler> daxAudioStreamToStreamHandler;
};

// The view of one of the session's tables; T is the class the table holds, which derives from
// Handler. Built where T is a complete type.
template <class Handler, class T>
VitaTableView<Handler> vitaTableView(std::shared_ptr<ObjectsById<T>> table) {
    return [table = std::move(table)](const std::string& key,
                                      const std::function<void(const std::shared_ptr<Handler>&)>& visit) {
        table->with([&](const auto& objects) {
            const auto found = objects.find(key);
            visit(found == objects.end() ? nullptr : std::shared_ptr<Handler>(found->second));
        });
    };
}

}  // namespace vm
