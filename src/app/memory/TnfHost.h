#pragma once
// What the TNF window needs from outside: the open radio (its notch filters and commands), the
// frequency under the mouse in the panadapter it last entered, the centre of the panadapter under
// the heads-up display, and the alerts' appearance. The application's controller implements it.
// Main thread only.
#include <QPalette>

#include <memory>
#include <optional>

namespace vm {

class Radio;

class TnfHost {
public:
    virtual ~TnfHost() = default;

    virtual std::shared_ptr<Radio> openRadio() const = 0;
    // MHz; nothing when there is no such panadapter.
    virtual std::optional<double> mouseMHzOfLastPanEntered() const = 0;
    virtual std::optional<double> centerOfHudPanafall() const = 0;
    virtual std::optional<QPalette> windowAppearance() const = 0;
};

}  // namespace vm
