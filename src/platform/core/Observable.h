#pragma once
// Key-value observation of model objects. A model object stores a new value and then announces
// its key; every observer of that key is called on the announcing thread with a change record
// that carries the new value. Properties are declared once with Observed<T>, which stores, reads
// and announces under the property's name:
//
//     Observed<int> rfPowerLevel{this, "rfPowerLevel"};
//     rfPowerLevel()          // read
//     rfPowerLevel.set(50)    // store, then announce "rfPowerLevel"
//     rfPowerLevel.store(50)  // store without announcing
#include <any>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vm {

struct Change {
    std::string keyPath;
    std::any newValue;
};

class ObservedProperty;

class Observable {
public:
    using Token = std::uint64_t;
    using Callback = std::function<void(const Change&)>;

    Observable() = default;
    Observable(const Observable&) = delete;
    Observable& operator=(const Observable&) = delete;
    virtual ~Observable() = default;

    Token addObserver(std::string keyPath, Callback callback);
    // After this returns no new call of the observer starts; removing twice does nothing.
    void removeObserver(Token token);
    void announce(std::string_view keyPath, std::any newValue) const;

    // The properties declared with Observed<T>, in declaration order, and their values by name.
    std::vector<std::string> propertyNames() const;
    bool declares(std::string_view key) const { return property(key) != nullptr; }
    std::optional<std::any> valueForKey(std::string_view key) const;
    // Announces a declared property with its current value; false for an unknown name.
    bool announceKey(std::string_view key) const;

private:
    friend class ObservedProperty;
    struct Observer {
        Token token;
        Callback callback;
        std::atomic<bool> alive{true};
    };

    const ObservedProperty* property(std::string_view key) const;
    // The declared property of a key, found with mutex_ held; nullptr for another key.
    const ObservedProperty* propertyLocked(std::string_view key) const;
    // Keeps the observer counts of the properties declared under `key` (mutex_ held).
    void countObserver(std::string_view key, int change);

    mutable std::mutex mutex_;
    std::map<std::string, std::vector<std::shared_ptr<Observer>>, std::less<>> observers_;
    std::vector<const ObservedProperty*> properties_;
    Token next_ = 1;
};

class ObservedProperty {
public:
    ObservedProperty(Observable* owner, const char* key) : owner_(owner), key_(key) {
        std::lock_guard lock(owner->mutex_);
        owner->properties_.push_back(this);
        if (const auto it = owner->observers_.find(std::string_view(key));
            it != owner->observers_.end()) {
            observers_ = static_cast<int>(it->second.size());
        }
    }
    ObservedProperty(const ObservedProperty&) = delete;
    ObservedProperty& operator=(const ObservedProperty&) = delete;
    virtual ~ObservedProperty() = default;

    const char* key() const { return key_; }
    virtual std::any anyValue() const = 0;
    // A property nobody observes is announced without reading its value or taking a lock.
    void announce() const {
        if (observers_.load(std::memory_order_acquire) > 0) {
            owner_->announce(key_, anyValue());
        }
    }

private:
    friend class Observable;
    Observable* owner_;
    const char* key_;
    // How many observers the owner has for key_; changed under the owner's mutex.
    mutable std::atomic<int> observers_{0};
};

namespace detail {
template <class T, bool = std::is_trivially_copyable_v<T>>
struct LockFree : std::false_type {};
template <class T>
struct LockFree<T, true> : std::bool_constant<std::atomic<T>::is_always_lock_free> {};
}  // namespace detail

template <class T>
class Observed : public ObservedProperty {
    static constexpr bool kAtomic = detail::LockFree<T>::value;

public:
    Observed(Observable* owner, const char* key, T initial = T{})
        : ObservedProperty(owner, key), value_(std::move(initial)) {}

    T operator()() const { return get(); }
    T get() const {
        if constexpr (kAtomic) {
            return value_.load();
        } else {
            std::lock_guard lock(mutex_);
            return value_;
        }
    }
    void store(T value) {
        if constexpr (kAtomic) {
            value_.store(value);
        } else {
            std::lock_guard lock(mutex_);
            value_ = std::move(value);
        }
    }
    void set(T value) {
        store(std::move(value));
        announce();
    }
    std::any anyValue() const override { return get(); }

private:
    struct NoMutex {};
    std::conditional_t<kAtomic, std::atomic<T>, T> value_;
    mutable std::conditional_t<kAtomic, NoMutex, std::mutex> mutex_;
};

}  // namespace vm
