#pragma once
// What the window handling needs from the application's controller: the open radio, to which a
// closed panadapter window's panadapter is given back, the heads-up title, the panadapter view
// under the heads-up display, the windows' appearance, the radios the chooser lists, and whether
// the application can be seen at all. Main thread only.
#include <QPalette>

#include <memory>
#include <optional>
#include <vector>

namespace vm {

class PanAdapterView;
class Radio;
struct RadioInstance;

class WindowDelegatesHost {
public:
    virtual ~WindowDelegatesHost() = default;

    virtual std::shared_ptr<Radio> openedRadio() const = 0;
    virtual void adjustHudTitle() = 0;
    // The panadapter view the heads-up display was last found over; none.
    virtual PanAdapterView* panViewUnderHud() const = 0;
    // The dark or light appearance the windows were given; none: the desktop's.
    virtual std::optional<QPalette> windowAppearance() const = 0;
    virtual bool darkWindowsOn() const = 0;
    // The radios heard on the local network, and those the DoroLink server lists.
    virtual std::vector<std::shared_ptr<RadioInstance>> localRadios() const = 0;
    virtual std::vector<std::shared_ptr<RadioInstance>> doroLinkRadios() const = 0;
    // The application became visible (some window of it exposed) or occluded (none).
    virtual void applicationDidChangeOcclusionState(bool visible) = 0;
};

}  // namespace vm
