#pragma once
// User defaults: the settings of the application as a property list in
// $XDG_CONFIG_HOME/velmoraSDR/ (~/.config/velmoraSDR/ when unset). Getters tell an absent key
// (nullopt) from a stored value and convert between numbers, booleans and their texts as the
// settings were written; every change is written to disk at once, atomically.
#include "platform/core/PlistValue.h"

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>

namespace vm {

class Defaults {
public:
    static Defaults& standard();
    static std::filesystem::path configFolder();

    explicit Defaults(std::filesystem::path file);

    std::optional<PlistValue> object(const std::string& key) const;
    std::optional<bool> boolForKey(const std::string& key) const;
    std::optional<long long> integerForKey(const std::string& key) const;
    std::optional<double> doubleForKey(const std::string& key) const;
    std::optional<std::string> stringForKey(const std::string& key) const;
    std::optional<PlistData> dataForKey(const std::string& key) const;
    std::optional<PlistArray> arrayForKey(const std::string& key) const;
    std::optional<PlistDict> dictionaryForKey(const std::string& key) const;
    // Every stored key and value.
    PlistDict dictionaryRepresentation() const;

    // Stores and writes the file; false (and a log line) when the file cannot be written, in
    // which case the value is still kept for this run.
    bool set(const std::string& key, PlistValue value);
    bool remove(const std::string& key);

    const std::filesystem::path& path() const { return path_; }

private:
    void load();
    bool save() const;

    const std::filesystem::path path_;
    mutable std::mutex mutex_;
    PlistDict values_;
};

}  // namespace vm
