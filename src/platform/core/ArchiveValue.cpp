#include "platform/core/ArchiveValue.h"

namespace vm::archive {

namespace {

struct ClassName {
    std::string operator()(bool) const { return kNumberClass; }
    std::string operator()(std::int64_t) const { return kNumberClass; }
    std::string operator()(double) const { return kNumberClass; }
    std::string operator()(const std::string&) const { return kStringClass; }
    std::string operator()(const PlistData&) const { return kDataClass; }
    std::string operator()(const ArchiveDate&) const { return kDateClass; }
    std::string operator()(const ArchiveArray&) const { return kArrayClass; }
    std::string operator()(const ArchiveDictionary&) const { return kDictionaryClass; }
    std::string operator()(const ArchiveObject& v) const { return v.className; }
};

}  // namespace

std::string classNameOf(const ArchiveValue& value) {
    return std::visit(ClassName{}, value.variant());
}

bool isBuiltInClassName(const std::string& name) {
    for (const char* builtIn :
         {kNumberClass, kStringClass, kDataClass, kDateClass, kArrayClass, kDictionaryClass}) {
        if (name == builtIn) {
            return true;
        }
    }
    return false;
}

const ArchiveObject* recordOfClass(const ArchiveValue& value, const std::string& className) {
    const auto* record = value.get<ArchiveObject>();
    return record && record->className == className ? record : nullptr;
}

const std::string* textValue(const ArchiveValue* value) {
    return value ? value->get<std::string>() : nullptr;
}

std::optional<double> realValue(const ArchiveValue* value) {
    if (!value) {
        return std::nullopt;
    }
    if (const auto* real = value->get<double>()) {
        return *real;
    }
    if (const auto* integer = value->get<std::int64_t>()) {
        return static_cast<double>(*integer);
    }
    if (const auto* truth = value->get<bool>()) {
        return *truth ? 1.0 : 0.0;
    }
    return std::nullopt;
}

}  // namespace vm::archive
