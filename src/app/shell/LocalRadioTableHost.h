#pragma once
// What the local radio table needs from the application's controller: the radios discovered on
// the local network, the record of the radio open now, the open radio's name and call sign, and
// the radio chooser that opens a radio. The application's controller implements it; tests
// implement it in a few lines. Main thread only.
#include "radio/RadioInstance.h"

#include <memory>
#include <string>
#include <vector>

namespace vm {

class LocalRadioTableHost {
public:
    virtual ~LocalRadioTableHost() = default;

    // The radios of the local network in discovery order.
    virtual std::vector<std::shared_ptr<RadioInstance>> localRadios() const = 0;
    // The record of the radio open now; none without one.
    virtual std::shared_ptr<RadioInstance> openRadioInstance() const = 0;
    // Sent to the open radio ("radio name ...", "radio callsign ...").
    virtual void cmdSetRadioName(const std::string& name) = 0;
    virtual void cmdSetRadioCallSign(const std::string& callsign) = 0;
    // Selects the radio chooser's entry of this radio's name and opens this radio as a choice in
    // the chooser does (closing the open radio first). False when the chooser has no such entry.
    virtual bool chooseRadio(const std::shared_ptr<RadioInstance>& radio) = 0;
};

}  // namespace vm
