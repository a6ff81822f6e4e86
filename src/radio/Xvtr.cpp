#include "radio/Xvtr.h"

#include <cstdint>
#include <utility>

namespace vm {

namespace {

using RealField = std::optional<double> Xvtr::*;
using FlagField = Number Xvtr::*;
using TextField = Text Xvtr::*;

// The fields in the order the record lists them, by kind.
constexpr std::pair<const char*, TextField> kTexts[] = {{"key", &Xvtr::key}, {"name", &Xvtr::name}};
constexpr std::pair<const char*, RealField> kReals[] = {{"rf_freq", &Xvtr::rf_freq},
                                                        {"if_freq", &Xvtr::if_freq},
                                                        {"lo_error", &Xvtr::lo_error},
                                                        {"max_power", &Xvtr::max_power},
                                                        {"rx_gain", &Xvtr::rx_gain},
                                                        {"order", &Xvtr::order},
                                                        {"two_meter_int", &Xvtr::two_meter_int}};
constexpr std::pair<const char*, FlagField> kFlags[] = {{"rx_only", &Xvtr::rx_only},
                                                        {"is_valid", &Xvtr::is_valid},
                                                        {"preferred", &Xvtr::preferred},
                                                        {"in_use", &Xvtr::in_use}};

}  // namespace

ArchiveValue Xvtr::archiveValue() const {
    ArchiveObject record{kClassName, {}};
    for (const auto& [archiveKey, field] : kTexts) {
        if (const Text& text = this->*field) {
            record.fields.emplace(archiveKey, *text);
        }
    }
    for (const auto& [archiveKey, field] : kReals) {
        if (const std::optional<double>& real = this->*field) {
            record.fields.emplace(archiveKey, *real);
        }
    }
    for (const auto& [archiveKey, field] : kFlags) {
        if (const Number& flag = this->*field) {
            record.fields.emplace(archiveKey, *flag != 0 ? 1 : 0);
        }
    }
    return record;
}

std::optional<Xvtr> Xvtr::fromArchive(const ArchiveValue& value) {
    const ArchiveObject* record = archive::recordOfClass(value, kClassName);
    if (!record) {
        return std::nullopt;
    }
    Xvtr xvtr;
    for (const auto& [archiveKey, field] : kTexts) {
        const std::string* text = archive::textValue(record->field(archiveKey));
        xvtr.*field = text ? Text(*text) : std::nullopt;
    }
    for (const auto& [archiveKey, field] : kReals) {
        xvtr.*field = archive::realValue(record->field(archiveKey));
    }
    for (const auto& [archiveKey, field] : kFlags) {
        const std::optional<double> flag = archive::realValue(record->field(archiveKey));
        xvtr.*field = flag ? Number(*flag != 0 ? 1 : 0) : std::nullopt;
    }
    return xvtr;
}

const std::set<std::string>& Xvtr::archiveClasses() {
    static const std::set<std::string> classes{kClassName, archive::kStringClass,
                                               archive::kNumberClass, archive::kArrayClass};
    return classes;
}

}  // namespace vm
