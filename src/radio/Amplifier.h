#pragma once
// The one external amplifier the radio reports ("amplifier" status lines): texts as the radio
// sends them, empty until reported. The session sets the fields on its own queue while the window
// side may read them, so each field is stored under a lock; a plain store announces nothing.
#include "platform/core/Observable.h"

#include <string>

namespace vm {

class Amplifier : public Observable {
public:
    Observed<std::string> handle{this, "handle"};
    Observed<std::string> model{this, "model"};
    Observed<std::string> serial_number{this, "serial_number"};
    Observed<std::string> antenna{this, "antenna"};
    Observed<std::string> state{this, "state"};
};

}  // namespace vm
