#pragma once
// User defaults: the settings of the application as a property list in
// $XDG_CONFIG_HOME/velmoraSDR/ (~/.config/velmoraSDR/ when unset). Getters tell an absent key
// (nullopt) from a stored value and convert between numbers, booleans and their texts as the
// settings were written. Reads come from memory; every change is saved to disk atomically on the
// defaults' own queue, changes that come together in one save.
//
// Loading never loses the file: one that cannot be read is renamed aside under a name of its own
// (date and time), and so is one holding values that cannot be read, whose other values are kept
// and saved again. Temporary files of a save that was interrupted are removed.
#include "platform/core/DispatchQueue.h"
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
    // Waits for the last save.
    ~Defaults();
    Defaults(const Defaults&) = delete;
    Defaults& operator=(const Defaults&) = delete;

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

    // Stores the value (the getters see it at once) and has the file saved. False when the last
    // save of the file failed (and was logged): the value is still kept for this run.
    bool set(const std::string& key, PlistValue value);
    bool remove(const std::string& key);

    // Waits until every change made so far is saved; false when the last save failed.
    bool flush();

    // Where loading put the preferences file aside (it could not be read, or held values that
    // could not), for the application to tell the user; nullopt when it did not.
    std::optional<std::filesystem::path> fileKeptAside() const;

    const std::filesystem::path& path() const { return path_; }

private:
    void load();
    // With mutex_ held: a save is queued unless one is already waiting to run.
    void scheduleSave();
    void save();

    const std::filesystem::path path_;
    const DispatchQueuePtr saveQueue_;
    mutable std::mutex mutex_;
    PlistDict values_;
    bool savePending_ = false;
    bool lastSaveFailed_ = false;
    std::optional<std::filesystem::path> keptAside_;
};

}  // namespace vm
