#pragma once
// A property of an Observable that is set once, when its owner is built, and never changes: it is
// listed and read by name like any Observed<T>, and announces nothing by itself. The session uses
// it for its queue, its word tables and its collections, whose contents change under their own
// locks (the equalizers' collection is announced, with announce(), when a side is made).
#include "platform/core/Observable.h"

#include <any>
#include <utility>

namespace vm {

template <class T>
class ConstantProperty : public ObservedProperty {
public:
    ConstantProperty(Observable* owner, const char* key, T value)
        : ObservedProperty(owner, key), value_(std::move(value)) {}

    const T& operator()() const { return value_; }
    std::any anyValue() const override { return value_; }

private:
    const T value_;
};

}  // namespace vm
