// Creation of an equalizer, its band keys and labels.
#include "objects/Equalizer.h"

#include <fmt/format.h>

namespace vm {

Equalizer::Equalizer(Private, const std::string& type, const std::shared_ptr<RadioLink>& radio)
    : eqType(this, "eqType", type),
      eqRunQueue(this, "eqRunQueue",
                 DispatchQueue::serial(fmt::format("com.velmorasoftware.vmsdr.eqQueue-{}", type))),
      radio_(radio) {}

std::shared_ptr<Equalizer> Equalizer::create(const std::string& type,
                                             const std::shared_ptr<RadioLink>& radio) {
    return std::make_shared<Equalizer>(Private{}, type, radio);
}

const std::array<const char*, Equalizer::kBandCount>& Equalizer::bandCmdName() {
    static const std::array<const char*, kBandCount> names{"63Hz",   "125Hz",  "250Hz",  "500Hz",
                                                           "1000Hz", "2000Hz", "4000Hz", "8000Hz"};
    return names;
}

const std::array<const char*, Equalizer::kBandCount>& Equalizer::eqBandNames() {
    static const std::array<const char*, kBandCount> names{"63 Hz", "125 Hz", "250 Hz", "500 Hz",
                                                           "1 KHz", "2 KHz",  "4 KHz",  "8 KHz"};
    return names;
}

Observed<Integer>& Equalizer::band(std::size_t index) {
    std::array<Observed<Integer>*, kBandCount> bands{&eqBand0Value, &eqBand1Value, &eqBand2Value,
                                                     &eqBand3Value, &eqBand4Value, &eqBand5Value,
                                                     &eqBand6Value, &eqBand7Value};
    return *bands[index];
}

std::array<Integer, Equalizer::kBandCount> Equalizer::eqBandValues() const {
    return {eqBand0Value(), eqBand1Value(), eqBand2Value(), eqBand3Value(),
            eqBand4Value(), eqBand5Value(), eqBand6Value(), eqBand7Value()};
}

}  // namespace vm
