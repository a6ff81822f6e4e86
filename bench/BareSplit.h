#pragma once
// The least any parser of the radio's lines must do: cut a line at blanks and "=". The parser
// benchmarks measure against it.
#include <string_view>
#include <vector>

namespace vm::bench {

inline void splitOnBlanksAndEquals(std::string_view line, std::vector<std::string_view>& tokens) {
    tokens.clear();
    while (!line.empty()) {
        const std::size_t cut = line.find_first_of(" =");
        tokens.push_back(line.substr(0, cut));
        if (cut == std::string_view::npos) {
            break;
        }
        line.remove_prefix(cut + 1);
    }
}

}  // namespace vm::bench
