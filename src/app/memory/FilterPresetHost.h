#pragma once
// What the filter-preset room needs of the application's controller: the pop-up of a slice's
// panel set to the preset of the slice's filter. Main thread only.
#include <memory>

namespace vm {

class Slice;

class FilterPresetHost {
public:
    virtual ~FilterPresetHost() = default;

    // The slice is numbered 0 to 3.
    virtual void showPresetOfSlice(const std::shared_ptr<Slice>& slice) = 0;
};

}  // namespace vm
