#include "support/sim/SimObjects.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <sstream>

namespace vm::sim {

namespace {

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    std::istringstream stream{std::string(text)};
    for (std::string word; stream >> word;) {
        out.push_back(word);
    }
    return out;
}

// "key=value" split at its first "="; the whole word and no value without one.
std::pair<std::string, std::string> pair(const std::string& word) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos) {
        return {word, ""};
    }
    return {word.substr(0, equals), word.substr(equals + 1)};
}

std::optional<int> number(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

SimObjects::SimObjects() {
    for (const char* side : {"rx", "tx"}) {
        Fields& fields = equalizers_[side];
        fields.emplace_back("mode", "0");
        for (const char* band :
             {"63Hz", "125Hz", "250Hz", "500Hz", "1000Hz", "2000Hz", "4000Hz", "8000Hz"}) {
            fields.emplace_back(band, "0");
        }
    }
}

void SimObjects::set(Fields& fields, const std::string& key, const std::string& value) {
    for (auto& [k, v] : fields) {
        if (k == key) {
            v = value;
            return;
        }
    }
    fields.emplace_back(key, value);
}

std::string SimObjects::status(std::string_view type, std::string_view id, const Fields& fields) {
    std::string text = std::string(type) + " " + std::string(id);
    for (const auto& [key, value] : fields) {
        text += " " + key + "=" + value;
    }
    return text;
}

// The object a command names by its third word ("tnf set 3 ...", "xvtr remove 0").
template <class Map>
typename Map::iterator SimObjects::named(Map& map, const std::vector<std::string>& w) {
    const auto n = w.size() >= 3 ? number(w[2]) : std::nullopt;
    return n ? map.find(*n) : map.end();
}

std::vector<std::string> SimObjects::answer(std::string_view command) {
    const std::vector<std::string> w = words(command);
    if (w.size() < 2) {
        return {};
    }
    if (w[0] == "eq") {
        return answerEq(w);
    }
    if (w[0] == "tnf") {
        return answerTnf(w);
    }
    if (w[0] == "xvtr") {
        return answerXvtr(w);
    }
    if (w[0] == "spot") {
        return answerSpot(command, w);
    }
    return {};
}

std::vector<std::string> SimObjects::answerSpot(std::string_view command,
                                                const std::vector<std::string>& w) {
    if (w[1] == "add") {
        const int index = nextSpot_++;
        const std::string_view add = "spot add";
        std::string pairs(command.substr(std::min(command.size(), add.size() + 1)));
        spots_[index] = pairs;
        return {"spot " + std::to_string(index) + " " + pairs};
    }
    const auto spot = named(spots_, w);
    if (w[1] == "remove" && spot != spots_.end()) {
        spots_.erase(spot);
        return {"spot " + w[2] + " removed"};
    }
    return {};
}

std::vector<std::string> SimObjects::answerEq(const std::vector<std::string>& w) {
    const std::string side = w[1].substr(0, 2);
    const auto equalizer = equalizers_.find(side);
    if (equalizer == equalizers_.end() || w.size() < 3) {
        return {};
    }
    if (w[2] == "info") {
        return {status("eq", side + "sc", equalizer->second)};
    }
    const auto [key, value] = pair(w[2]);
    set(equalizer->second, key, value);
    return {status("eq", side + "sc", {{key, value}})};
}

std::vector<std::string> SimObjects::answerTnf(const std::vector<std::string>& w) {
    if (w[1] == "create" && w.size() >= 3) {
        const int id = nextTnf_++;
        Fields& fields = tnfs_[id];
        fields = {
            {"freq", pair(w[2]).second}, {"depth", "1"}, {"width", "0.0001"}, {"permanent", "0"}};
        return {status("tnf", std::to_string(id), fields)};
    }
    const auto tnf = named(tnfs_, w);
    if (tnf == tnfs_.end()) {
        return {};
    }
    if (w[1] == "set" && w.size() >= 4) {
        const auto [key, value] = pair(w[3]);
        set(tnf->second, key, value);
        return {status("tnf", w[2], {{key, value}})};
    }
    if (w[1] == "remove") {
        tnfs_.erase(tnf);
        return {"tnf " + w[2] + " removed"};
    }
    return {};
}

std::vector<std::string> SimObjects::answerXvtr(const std::vector<std::string>& w) {
    if (w[1] == "create") {
        const int key = nextXvtr_++;
        Fields& fields = xvtrs_[key];
        fields = {{"name", "XVTR"},
                  {"rf_freq", "0"},
                  {"if_freq", "0"},
                  {"lo_error", "0"},
                  {"max_power", "0"},
                  {"rx_gain", "0"},
                  {"order", std::to_string(key)},
                  {"rx_only", "0"},
                  {"is_valid", "0"},
                  {"preferred", "0"},
                  {"two_meter_int", "0"},
                  {"in_use", "1"}};
        return {status("xvtr", std::to_string(key), fields)};
    }
    const auto xvtr = named(xvtrs_, w);
    if (xvtr == xvtrs_.end()) {
        return {};
    }
    if (w[1] == "set" && w.size() >= 5) {
        set(xvtr->second, w[3], w[4]);
        return {status("xvtr", w[2], xvtr->second)};
    }
    if (w[1] == "remove") {
        xvtrs_.erase(xvtr);
        return {"xvtr " + w[2] + " in_use=0"};
    }
    return {};
}

}  // namespace vm::sim
