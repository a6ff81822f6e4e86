#pragma once
// Frequencies in megahertz in the dotted form used everywhere in the client: megahertz,
// kilohertz and tens of hertz separated by points (14.074.00), with the hertz digit when showHz is
// set (14.074.000).
#include <functional>
#include <optional>
#include <string>

namespace vm {

class VMMegahertzFormatter {
public:
    bool showHz() const { return showHz_; }
    void setShowHz(bool show) { showHz_ = show; }

    // nullopt for a value that is not a finite number of megahertz within the range of whole
    // hertz that the text can show.
    std::optional<std::string> stringForObjectValue(double megahertz) const;

    // Parses "14.074" (megahertz) or "14.074.00" (megahertz, kilohertz and tens of hertz, or
    // hertz when showHz is set). False for an empty text or more than three parts.
    bool getObjectValue(double* megahertz, const std::string& text,
                        std::string* errorDescription) const;

    // The typing check: only ".0123456789" may be typed; anything else is refused with a beep.
    bool isPartialStringValid(const std::string& partial, std::string* errorDescription) const;

    // 0.0 when the text is empty or not accepted.
    double doubleValueForString(const std::string& text) const;

    // What sounds the beep of a refused key (the window layer installs the system beep).
    void setBeep(std::function<void()> beep) { beep_ = std::move(beep); }

private:
    bool showHz_ = false;
    std::function<void()> beep_;
};

}  // namespace vm
