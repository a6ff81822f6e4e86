#pragma once
// What a radio object offers the Radio for its status lines. The scanner stands at the object's
// first key=value pair. Slices and panadapters take the "immediate" form (true for the object's
// first line, read on the session's queue); the other objects take the "selfStatus" form (true
// when this client sent the line).
#include "platform/core/Scanner.h"

namespace vm {

class RadioParser {
public:
    virtual ~RadioParser() = default;

    virtual void statusParserSelfStatus(Scanner& /*scan*/, bool /*selfStatus*/) {}
    virtual void statusParserImmediate(Scanner& /*scan*/, bool /*immediate*/) {}

protected:
    RadioParser() = default;
};

}  // namespace vm
