#pragma once
// Helpers for the tests of the radio's objects: a session that does not connect, a recorder of the
// keys an object announces and a printable form of any property value. Waiting, log capture and
// notification recording come from the radio session's test helpers.
#include "attach/RadioObjects.h"
#include "platform/core/DispatchQueue.h"
#include "platform/core/Observable.h"
#include "radio/Radio.h"
#include "radio/RadioTestSupport.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <any>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace vm::test {

// A session with the radio's objects attached.
inline std::shared_ptr<Radio> detachedRadio(int logLevel = 0, double pversion = 0,
                                            bool v3 = false) {
    auto instance = std::make_shared<RadioInstance>();
    instance->pversion = pversion;
    instance->supportsV3_API = v3;
    return Radio::createDetached(instance, {}, "velmoraSDR", logLevel, attachRadioObjects);
}

// Every key an object announces, in order, with whether it was announced on the main thread.
class KeyRecorder {
public:
    explicit KeyRecorder(Observable& object) : object_(object) {
        for (const std::string& key : object.propertyNames()) {
            tokens_.push_back(object.addObserver(key, [this](const Change& change) {
                std::lock_guard lock(mutex_);
                keys_.push_back(change.keyPath);
                allOnMain_ = allOnMain_ && isMainThread();
            }));
        }
    }
    ~KeyRecorder() {
        for (const auto token : tokens_) {
            object_.removeObserver(token);
        }
    }
    std::vector<std::string> keys() const {
        std::lock_guard lock(mutex_);
        return keys_;
    }
    std::size_t count(const std::string& key) const {
        const auto all = keys();
        return static_cast<std::size_t>(std::count(all.begin(), all.end(), key));
    }
    bool allOnMain() const {
        std::lock_guard lock(mutex_);
        return allOnMain_;
    }

private:
    Observable& object_;
    std::vector<Observable::Token> tokens_;
    mutable std::mutex mutex_;
    std::vector<std::string> keys_;
    bool allOnMain_ = true;
};

// A property value as text: "nil" when empty, lists joined with "|".
inline std::string show(const std::any& value) {
    if (const auto* text = std::any_cast<std::optional<std::string>>(&value)) {
        return *text ? **text : "nil";
    }
    if (const auto* integer = std::any_cast<std::optional<std::int64_t>>(&value)) {
        return *integer ? std::to_string(**integer) : "nil";
    }
    if (const auto* flag = std::any_cast<std::optional<bool>>(&value)) {
        return *flag ? (**flag ? "true" : "false") : "nil";
    }
    if (const auto* real = std::any_cast<std::optional<float>>(&value)) {
        return *real ? fmt::format("{}", **real) : "nil";
    }
    if (const auto* list = std::any_cast<std::optional<std::vector<std::string>>>(&value)) {
        return *list ? fmt::format("{}", fmt::join(**list, "|")) : "nil";
    }
    return "?";
}

inline std::string show(const Observable& object, std::string_view key) {
    const auto value = object.valueForKey(key);
    return value ? show(*value) : "no such key";
}

}  // namespace vm::test
