#pragma once
// What the transverter editor needs from outside its page and menu: the open radio, whose list
// it shows and which it sends the changes to, the active and alternate slices it moves onto a
// transverter and back, the panadapter that shows a frequency, the antennas saved before, the
// window appearance of its alert and the debug switch. The application's controller implements
// it; tests implement it in a few lines. Called on the main thread only.
#include <QPalette>

#include <memory>
#include <optional>
#include <string>

namespace vm {

class Panafall;
class Radio;
class Slice;

// The antennas the slices used before a transverter took them over.
struct SavedAntennas {
    std::string activeRx, activeTx, alternateRx, alternateTx;
};

class TransverterHost {
public:
    virtual ~TransverterHost() = default;

    virtual bool debugEnabled() const = 0;
    // None while no radio is open.
    virtual std::shared_ptr<Radio> currentRadio() const = 0;
    virtual std::shared_ptr<Slice> activeVFO() const = 0;
    virtual std::shared_ptr<Slice> alternateVFO() const = 0;
    virtual std::shared_ptr<Panafall> panForFrequency(double mhz) const = 0;
    virtual SavedAntennas savedAntennas() const = 0;
    virtual std::optional<QPalette> alertAppearance() const = 0;
};

}  // namespace vm
