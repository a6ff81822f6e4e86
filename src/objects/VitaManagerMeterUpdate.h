#pragma once
// What the stream router calls for each meter reading it receives: the raw signed 16-bit value of
// the meter's packet pair, widened to an int. Called on the main queue; nothing is read back.
namespace vm {

class VitaManagerMeterUpdate {
public:
    virtual ~VitaManagerMeterUpdate() = default;
    virtual void updateMeter(int raw) = 0;

protected:
    VitaManagerMeterUpdate() = default;
};

}  // namespace vm
