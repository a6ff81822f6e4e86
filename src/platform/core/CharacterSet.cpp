#include "platform/core/CharacterSet.h"

namespace vm {

CharacterSet CharacterSet::fromString(std::string_view characters) {
    CharacterSet set;
    for (char c : characters) {
        set.bits_.set(static_cast<unsigned char>(c));
    }
    return set;
}

CharacterSet CharacterSet::whitespace() { return fromString(" \t"); }

CharacterSet CharacterSet::newline() { return fromString("\n\r\v\f"); }

CharacterSet CharacterSet::whitespaceAndNewline() { return whitespace() | newline(); }

CharacterSet CharacterSet::decimalDigits() { return fromString("0123456789"); }

CharacterSet CharacterSet::letters() {
    return fromString("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

CharacterSet CharacterSet::alphanumerics() { return letters() | decimalDigits(); }

CharacterSet CharacterSet::inverted() const {
    CharacterSet set;
    set.bits_ = ~bits_;
    return set;
}

CharacterSet CharacterSet::operator|(const CharacterSet& other) const {
    CharacterSet set;
    set.bits_ = bits_ | other.bits_;
    return set;
}

}  // namespace vm
