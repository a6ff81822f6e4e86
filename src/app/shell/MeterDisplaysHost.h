#pragma once
// What the meter displays need from the application's controller: the active slice, whose meters
// the S-meter reads, and the satellite tracker told of each new S-meter bar. Main thread only.
#include <memory>

namespace vm {

class Slice;

class MeterDisplaysHost {
public:
    virtual ~MeterDisplaysHost() = default;

    virtual std::shared_ptr<Slice> activeVFO() const = 0;
    // The S-meter's bar (0 to 32) changed; the tracker hears of it while it runs.
    virtual void sMeterBarChanged(int bar) = 0;
};

}  // namespace vm
