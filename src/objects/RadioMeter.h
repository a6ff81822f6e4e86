#pragma once
// What the session calls on a new meter: read its definition from a "meter" status line. The
// scanner stands at the first definition record.
#include "platform/core/Scanner.h"

#include <memory>

namespace vm {

class RadioLink;

class RadioMeter {
public:
    virtual ~RadioMeter() = default;
    virtual void setupMeter(const std::shared_ptr<RadioLink>& radio, Scanner& scan) = 0;

protected:
    RadioMeter() = default;
};

}  // namespace vm
