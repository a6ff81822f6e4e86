#pragma once
// One of the radio's meters: its definition, read once from the radio's "meter" status line, and
// its latest reading, converted to the meter's unit and announced as `value`.
//
// Threads: the session builds and sets up a meter on its own queue before it files it, so the
// definition never changes once others can see it; readings arrive on the main queue.
#include "objects/RadioMeter.h"
#include "platform/core/ConstantProperty.h"
#include "platform/core/Observable.h"
#include "radio/TokenTable.h"
#include "radio/VitaStreamHandler.h"

#include <memory>
#include <string>

namespace vm {

class RadioLink;

// Where a meter measures, from the definition's "src" value.
enum MeterSource : int {
    kMeterSourceNone = 0,
    kMeterSourceCodec = 1,
    kMeterSourceTransmit = 2,
    kMeterSourceSlice = 3,
    kMeterSourceRadio = 4,
    kMeterSourceAmp = 5,
};

// A meter's unit, from the definition's "unit" value (6 is not used).
enum MeterUnits : int {
    kMeterUnitsNone = 0,
    kMeterUnitsVolts = 1,
    kMeterUnitsAmps = 2,
    kMeterUnitsDb = 3,
    kMeterUnitsDbfs = 4,
    kMeterUnitsDbm = 5,
    kMeterUnitsDegF = 7,
    kMeterUnitsDegC = 8,
    kMeterUnitsSwr = 9,
    kMeterUnitsWatts = 10,
    kMeterUnitsPercent = 11,
};

class Meter : public Observable, public RadioMeter, public VitaManagerMeterUpdate {
public:
    Meter() = default;

    // Reads "<n>.<key>=<value>#..." up to the end of the line: src, num (for slice meters only,
    // after src), nam, low, hi, desc, unit, fps. Records after the last "#" are not complete and
    // are dropped; a record without "=" or without "." in front of it is logged and skipped.
    void setupMeter(const std::shared_ptr<RadioLink>& radio, Scanner& scan) override;
    // Stores the raw reading scaled to the meter's unit in `value` (announced on this thread).
    void updateMeter(int raw) override;

    std::shared_ptr<RadioLink> radio() const { return radio_.lock(); }

    Observed<int> sliceNum{this, "sliceNum"};
    Observed<int> meterSource{this, "meterSource"};
    Observed<std::string> meterSourceString{this, "meterSourceString"};
    Observed<int> meter{this, "meter"};
    Observed<std::string> shortName{this, "shortName"};
    Observed<std::string> meterDescription{this, "meterDescription"};
    Observed<float> low{this, "low"};
    Observed<float> high{this, "high"};
    Observed<int> units{this, "units"};
    Observed<std::string> unitsLabel{this, "unitsLabel"};
    Observed<int> fps{this, "fps"};
    Observed<float> value{this, "value"};
    ConstantProperty<const TokenTable*> meterTokens{this, "meterTokens", &recordKeyTokens()};
    Observed<int> debugLogLevel{this, "debugLogLevel"};

private:
    static const TokenTable& recordKeyTokens();
    void applyRecord(const std::string& record);

    std::weak_ptr<RadioLink> radio_;
};

}  // namespace vm
