#pragma once
// What the Radio calls on a slice as the slice's meters are defined and removed.
#include <memory>

namespace vm {

class Meter;

class RadioSliceMeter {
public:
    virtual ~RadioSliceMeter() = default;
    virtual void addMeter(const std::shared_ptr<Meter>& meter) = 0;
    virtual void removeMeter(const std::shared_ptr<Meter>& meter) = 0;

protected:
    RadioSliceMeter() = default;
};

}  // namespace vm
