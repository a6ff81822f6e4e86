#pragma once
// Binds one observed model object to one target: a table from key path to a handler of the
// target. Handlers always run on the main thread, with the observed object and the change record
// (none on the initial call from initValues()). A change announced on the main thread reaches its
// handler before the announcement returns; one announced elsewhere is posted to the main queue and
// reaches the target if it is still alive and the binding not cancelled when the call runs.
// Without a target nothing is called.
#include "platform/core/Observable.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace vm {

class VMKVOManager : public std::enable_shared_from_this<VMKVOManager> {
public:
    using Handler =
        std::function<void(const std::shared_ptr<void>& target,
                           const std::shared_ptr<Observable>& object, const Change* change)>;
    using Table = std::vector<std::pair<std::string, Handler>>;

    // A handler that calls `method` of the target with the object as its own type.
    template <class Target, class Object>
    static Handler handler(void (Target::*method)(const std::shared_ptr<Object>&, const Change*)) {
        return [method](const std::shared_ptr<void>& target,
                        const std::shared_ptr<Observable>& object, const Change* change) {
            (static_cast<Target*>(target.get())->*method)(std::static_pointer_cast<Object>(object),
                                                          change);
        };
    }

    static std::shared_ptr<VMKVOManager> create() {
        return std::shared_ptr<VMKVOManager>(new VMKVOManager());
    }
    ~VMKVOManager();

    // A key path given twice keeps its last handler.
    void setKvoTargets(Table table);
    void setTarget(const std::shared_ptr<void>& target);

    // Stores both and marks the manager registered; when both are present, observes every key
    // path of the table on the object.
    void initKVO(std::shared_ptr<Observable> object, const std::shared_ptr<void>& target);
    // Calls every handler once, in table order, with the object and no change record.
    void initValues();
    // Stops observing and drops the object; a second call does nothing.
    void cancelKVO();

    bool registered() const;
    std::shared_ptr<Observable> thisObject() const;

private:
    VMKVOManager() = default;
    void observed(const Change& change);
    const Handler* handlerFor(const std::string& keyPath) const;

    mutable std::mutex mutex_;
    Table kvoTargets_;
    std::shared_ptr<Observable> thisObject_;
    std::weak_ptr<void> target_;
    bool registered_ = false;
    std::vector<Observable::Token> tokens_;
};

}  // namespace vm
