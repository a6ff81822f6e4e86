#include "platform/core/Defaults.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/Scanner.h"

namespace vm {

namespace {

std::optional<long long> parseInteger(const std::string& text) {
    Scanner scanner(text);
    scanner.setCharactersToBeSkipped(CharacterSet::whitespace());
    long long v = 0;
    if (scanner.scanLongLong(&v)) {
        return v;
    }
    return std::nullopt;
}

std::optional<double> parseReal(const std::string& text) {
    Scanner scanner(text);
    scanner.setCharactersToBeSkipped(CharacterSet::whitespace());
    double v = 0;
    if (scanner.scanDouble(&v)) {
        return v;
    }
    return std::nullopt;
}

}  // namespace

std::filesystem::path Defaults::configFolder() { return paths::configHome() / "velmoraSDR"; }

Defaults& Defaults::standard() {
    static Defaults* defaults = new Defaults(configFolder() / "preferences.plist");
    return *defaults;
}

Defaults::Defaults(std::filesystem::path file) : path_(std::move(file)) { load(); }

void Defaults::load() {
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) {
        return;
    }
    auto bytes = readWholeFile(path_);
    std::optional<PlistValue> root;
    if (bytes) {
        root = plist::parse(*bytes);
    }
    if (root && root->get<PlistDict>()) {
        values_ = *root->get<PlistDict>();
        return;
    }
    // Keep an unreadable file aside rather than overwrite it with the next change.
    const auto aside = path_.string() + ".unreadable";
    std::filesystem::rename(path_, aside, ec);
    log("Defaults:load:unreadable preferences:[{}] kept as:[{}]", path_.string(), aside);
}

bool Defaults::save() const {
    Error error;
    if (!writeFileAtomically(path_, plist::toBinary(PlistValue(values_)), 0600, &error)) {
        log("Defaults:save:failed:[{}] error:[{}]", path_.string(), error.description);
        return false;
    }
    return true;
}

bool Defaults::set(const std::string& key, PlistValue value) {
    std::lock_guard lock(mutex_);
    values_[key] = std::move(value);
    return save();
}

bool Defaults::remove(const std::string& key) {
    std::lock_guard lock(mutex_);
    if (values_.erase(key) == 0) {
        return true;
    }
    return save();
}

std::optional<PlistValue> Defaults::object(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<bool> Defaults::boolForKey(const std::string& key) const {
    auto v = object(key);
    if (!v) return std::nullopt;
    if (auto b = v->get<bool>()) return *b;
    if (auto i = v->get<std::int64_t>()) return *i != 0;
    if (auto d = v->get<double>()) return *d != 0.0;
    if (auto s = v->get<std::string>()) {
        if (*s == "YES" || *s == "yes" || *s == "true" || *s == "TRUE") return true;
        if (*s == "NO" || *s == "no" || *s == "false" || *s == "FALSE") return false;
        if (auto i = parseInteger(*s)) return *i != 0;
    }
    return std::nullopt;
}

std::optional<long long> Defaults::integerForKey(const std::string& key) const {
    auto v = object(key);
    if (!v) return std::nullopt;
    if (auto i = v->get<std::int64_t>()) return *i;
    if (auto b = v->get<bool>()) return *b ? 1 : 0;
    if (auto d = v->get<double>()) return static_cast<long long>(*d);
    if (auto s = v->get<std::string>()) return parseInteger(*s);
    return std::nullopt;
}

std::optional<double> Defaults::doubleForKey(const std::string& key) const {
    auto v = object(key);
    if (!v) return std::nullopt;
    if (auto d = v->get<double>()) return *d;
    if (auto i = v->get<std::int64_t>()) return static_cast<double>(*i);
    if (auto b = v->get<bool>()) return *b ? 1.0 : 0.0;
    if (auto s = v->get<std::string>()) return parseReal(*s);
    return std::nullopt;
}

std::optional<std::string> Defaults::stringForKey(const std::string& key) const {
    auto v = object(key);
    if (!v) return std::nullopt;
    if (auto s = v->get<std::string>()) return *s;
    if (auto i = v->get<std::int64_t>()) return std::to_string(*i);
    if (auto b = v->get<bool>()) return std::string(*b ? "1" : "0");
    if (auto d = v->get<double>()) return fmt::format("{}", *d);
    return std::nullopt;
}

std::optional<PlistData> Defaults::dataForKey(const std::string& key) const {
    auto v = object(key);
    if (v) {
        if (auto d = v->get<PlistData>()) return *d;
    }
    return std::nullopt;
}

std::optional<PlistArray> Defaults::arrayForKey(const std::string& key) const {
    auto v = object(key);
    if (v) {
        if (auto a = v->get<PlistArray>()) return *a;
    }
    return std::nullopt;
}

PlistDict Defaults::dictionaryRepresentation() const {
    std::lock_guard lock(mutex_);
    return values_;
}

std::optional<PlistDict> Defaults::dictionaryForKey(const std::string& key) const {
    auto v = object(key);
    if (v) {
        if (auto d = v->get<PlistDict>()) return *d;
    }
    return std::nullopt;
}

}  // namespace vm
