#include "radio/CommandText.h"

namespace vm {

namespace {

std::string cleaned(std::string_view text, bool quoted) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') {
                    ++i;
                }
                out += ' ';
                break;
            case '\n': out += ' '; break;
            case '\0': break;
            case '"': out += quoted ? '\'' : '"'; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace

std::string commandField(std::string_view text) {
    return cleaned(text, false);
}

std::string quotedCommandField(std::string_view text) {
    return '"' + cleaned(text, true) + '"';
}

}  // namespace vm
