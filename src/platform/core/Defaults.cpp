#include "platform/core/Defaults.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Log.h"
#include "platform/core/Paths.h"
#include "platform/core/PlistCheck.h"
#include "platform/core/Scanner.h"

#include <fmt/ranges.h>

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

Defaults::Defaults(std::filesystem::path file)
    : path_(std::move(file)),
      saveQueue_(DispatchQueue::serial("com.velmorasoftware.vmsdr.defaults")) {
    load();
}

Defaults::~Defaults() { flush(); }

void Defaults::load() {
    removeInterruptedWrites(path_);
    std::error_code ec;
    if (!std::filesystem::exists(path_, ec)) {
        return;
    }
    std::string reason;
    std::vector<std::string> unreadable;
    std::optional<PlistDict> values;
    const auto size = std::filesystem::file_size(path_, ec);
    if (ec) {
        reason = ec.message();
    } else if (size > plist::kMaxBytes) {
        reason = "larger than " + std::to_string(plist::kMaxBytes) + " bytes";
    } else if (const auto bytes = readWholeFile(path_)) {
        values = plist::parseDictionary(*bytes, &unreadable, &reason);
    } else {
        reason = "cannot be read";
    }
    if (values && unreadable.empty()) {
        values_ = std::move(*values);
        return;
    }
    // Kept aside under a name of its own, so that neither the next save nor a later bad file
    // overwrites what a person may still recover.
    keptAside_ = renameAside(path_, "unreadable");
    const std::string aside = keptAside_ ? keptAside_->string() : std::string("(not renamed)");
    if (!values) {
        log("Defaults:load:unreadable preferences:[{}] reason:[{}] kept as:[{}]", path_.string(),
            reason, aside);
        return;
    }
    log("Defaults:load:values not read:[{}] preferences:[{}] kept as:[{}]",
        fmt::join(unreadable, ", "), path_.string(), aside);
    std::lock_guard lock(mutex_);
    values_ = std::move(*values);
    scheduleSave();  // the values read stay in the file
}

std::optional<std::filesystem::path> Defaults::fileKeptAside() const {
    std::lock_guard lock(mutex_);
    return keptAside_;
}

void Defaults::scheduleSave() {
    if (savePending_) {
        return;
    }
    savePending_ = true;
    saveQueue_->async([this] { save(); });
}

// On the save queue: the values as they are now, so changes made while an earlier save ran are
// written together.
void Defaults::save() {
    std::string bytes;
    {
        std::lock_guard lock(mutex_);
        savePending_ = false;
        bytes = plist::toBinary(PlistValue(values_));
    }
    Error error;
    const bool written = writeFileAtomically(path_, bytes, 0600, &error);
    if (!written) {
        log("Defaults:save:failed:[{}] error:[{}]", path_.string(), error.description);
    }
    std::lock_guard lock(mutex_);
    lastSaveFailed_ = !written;
}

bool Defaults::flush() {
    saveQueue_->sync([] {});
    std::lock_guard lock(mutex_);
    return !lastSaveFailed_;
}

bool Defaults::set(const std::string& key, PlistValue value) {
    std::lock_guard lock(mutex_);
    values_[key] = std::move(value);
    scheduleSave();
    return !lastSaveFailed_;
}

bool Defaults::remove(const std::string& key) {
    std::lock_guard lock(mutex_);
    if (values_.erase(key) > 0) {
        scheduleSave();
    }
    return !lastSaveFailed_;
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
