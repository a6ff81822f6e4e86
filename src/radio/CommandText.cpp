#include "radio/CommandText.h"

namespace vm {

std::string commandField(std::string_view text) {
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
            case '"': out += '\''; break;
            default: out += c;
        }
    }
    return out;
}

std::string quotedCommandField(std::string_view text) { return '"' + commandField(text) + '"'; }

}  // namespace vm
