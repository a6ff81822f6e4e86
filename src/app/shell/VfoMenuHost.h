#pragma once
// What the slice menu needs from the application's controller when it opens: this client's
// slices, the open radio (for the slices it will still create), and the band of the panadapter
// under the heads-up display. The application's controller implements it; tests implement it in
// a few lines. Main thread only.
#include <memory>
#include <string>
#include <vector>

namespace vm {

class Radio;
class Slice;

class VfoMenuHost {
public:
    virtual ~VfoMenuHost() = default;

    // This client's slices in ascending slice number, and one of them by number (none without).
    virtual std::vector<std::shared_ptr<Slice>> clientSlices() const = 0;
    virtual std::shared_ptr<Slice> sliceWithNumber(int number) const = 0;
    virtual std::shared_ptr<Radio> openedRadio() const = 0;
    // "20", "X2"...: the band of the panadapter under the heads-up display; empty without an open
    // radio or a panadapter there.
    virtual std::string focusedPanBand() const = 0;
};

}  // namespace vm
