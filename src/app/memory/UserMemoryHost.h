#pragma once
// What the user memories need from outside their window: whether a radio is open, its active
// slice and the slices of the panels, callsign and RF power, the panadapter that shows a frequency,
// the alerts' appearance and the user's notifications. The application's controller implements it;
// tests in a few lines. Called on the main thread only.
#include "radio/RadioTypes.h"

#include <QPalette>

#include <memory>
#include <optional>
#include <string>

namespace vm {

class Slice;

class UserMemoryHost {
public:
    virtual ~UserMemoryHost() = default;

    virtual bool radioIsOpen() const = 0;
    virtual std::shared_ptr<Slice> activeVFO() const = 0;
    // This client's slice of a number (0 to 3 are the panels A to D), or none.
    virtual std::shared_ptr<Slice> sliceWithNumber(int number) const = 0;
    virtual Text radioCallsign() const = 0;
    virtual Number rfPowerLevel() const = 0;
    virtual void setRfPowerLevel(Number level) = 0;
    // The panadapter that shows `presentMHz`, if any, is set to the band of `memoryMHz`.
    virtual void showBandOfMemory(double presentMHz, double memoryMHz) = 0;
    virtual std::optional<QPalette> windowAppearance() const = 0;
    virtual void showNotification(const std::string& title, const std::string& text) = 0;
};

}  // namespace vm
