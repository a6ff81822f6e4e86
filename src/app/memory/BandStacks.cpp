#include "app/memory/BandStacks.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/KeyedArchiver.h"
#include "platform/core/KeyedUnarchiver.h"
#include "platform/core/Log.h"
#include "util/StringAdditions.h"

#include <sys/stat.h>
#include <array>
#include <cmath>

namespace vm {

namespace {

constexpr const char* kBandStackClass = "BandStack";
constexpr const char* kEntryClass = "FrequencyAndMode";

struct DefaultEntry {
    const char* band;
    const char* megahertz;
    const char* mode;
};

constexpr std::array<DefaultEntry, 11> kDefaults{{{"160M", "1.91", "LSB"},
                                                  {"80M", "3.79", "LSB"},
                                                  {"60M", "5.357", "USB"},
                                                  {"40M", "7.1", "LSB"},
                                                  {"30M", "10.131", "CW"},
                                                  {"20M", "14.240", "USB"},
                                                  {"17M", "18.130", "USB"},
                                                  {"15M", "21.250", "USB"},
                                                  {"12M", "24.920", "USB"},
                                                  {"10M", "28.3", "USB"},
                                                  {"6M", "50.125", "USB"}}};

ArchiveValue entryRecord(const FrequencyAndMode& entry) {
    ArchiveObject record{kEntryClass, {{"megahertz", entry.megahertz}, {"mode", entry.mode}}};
    if (entry.timeStamp) {
        record.fields.emplace("timeStamp", *entry.timeStamp);
    }
    return record;
}

StackEntry entryFromRecord(const ArchiveObject& record) {
    auto entry = std::make_shared<FrequencyAndMode>();
    if (const std::string* text = archive::textValue(record.field("megahertz"))) {
        entry->megahertz = *text;
    }
    if (const std::string* text = archive::textValue(record.field("mode"))) {
        entry->mode = *text;
    }
    if (const ArchiveValue* stamp = record.field("timeStamp")) {
        if (const ArchiveDate* date = stamp->get<ArchiveDate>()) {
            entry->timeStamp = *date;
        }
    }
    return entry;
}

// The decoded dictionary, or nullopt after the log lines of what failed.
std::optional<ArchiveValue> decodeDictionaryAtPath(const std::filesystem::path& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        log("decodeDictionaryAtPath: No file at path: {}", path.string());
        return std::nullopt;
    }
    const std::optional<std::string> data = readWholeFile(path);
    if (!data || data->empty()) {
        log("decodeDictionaryAtPath: No data");
        return std::nullopt;
    }
    Error error;
    const std::optional<KeyedUnarchiver> unarchiver = KeyedUnarchiver::create(*data, &error);
    if (!unarchiver) {
        log("decodeDictionaryAtPath:initForReadingWithData failed with exception: {}",
            error.description);
        log("decodeDictionaryAtPath: No Unarchiver created");
        return std::nullopt;
    }
    error = {};
    std::optional<ArchiveValue> root = unarchiver->decodeTopObject(
        {archive::kDictionaryClass, kBandStackClass, kEntryClass, archive::kArrayClass,
         archive::kStringClass, archive::kDateClass, archive::kNumberClass},
        &error);
    if (!root && !error.description.empty()) {
        log("decodeDictionaryAtPath:decodeObjectOfClasses failed with exception: {}",
            error.description);
    }
    if (!root || !root->get<ArchiveDictionary>()) {
        log("decodeDictionaryAtPath: No dictionary unarchived");
        return std::nullopt;
    }
    return root;
}

}  // namespace

void BandStacks::createBandStackDictionaryWithDefaults() {
    for (const DefaultEntry& d : kDefaults) {
        if (bandStackDictionary.count(d.band)) {
            continue;
        }
        BandStack stack;
        stack.stackEntries.push_back(
            std::make_shared<FrequencyAndMode>(FrequencyAndMode{d.megahertz, d.mode, clock_()}));
        bandStackDictionary.emplace(d.band, std::move(stack));
        log("createBandStackDictionaryWithDefaults:[{}]", d.band);
    }
}

ArchiveValue BandStacks::archiveRoot() const {
    ArchiveDictionary root;
    for (const auto& [band, stack] : bandStackDictionary) {
        ArchiveArray entries;
        for (const StackEntry& entry : stack.stackEntries) {
            entries.push_back(entryRecord(*entry));
        }
        ArchiveObject record{kBandStackClass, {{"stackEntries", std::move(entries)}}};
        if (stack.currentEntry) {
            record.fields.emplace("currentEntry", static_cast<long long>(*stack.currentEntry));
        }
        root.emplace(band, std::move(record));
    }
    return root;
}

std::optional<std::map<std::string, BandStack>> BandStacks::fromArchiveRoot(
    const ArchiveValue& root) {
    const ArchiveDictionary* bands = root.get<ArchiveDictionary>();
    if (!bands) {
        return std::nullopt;
    }
    std::map<std::string, BandStack> result;
    for (const auto& [band, value] : *bands) {
        const ArchiveObject* record = archive::recordOfClass(value, kBandStackClass);
        if (!record) {
            log("readStackDictionary: Band:{} is no band stack", band);
            continue;
        }
        BandStack stack;
        if (const ArchiveValue* entries = record->field("stackEntries")) {
            if (const ArchiveArray* list = entries->get<ArchiveArray>()) {
                for (const ArchiveValue& item : *list) {
                    if (const ArchiveObject* entry = archive::recordOfClass(item, kEntryClass)) {
                        stack.stackEntries.push_back(entryFromRecord(*entry));
                    }
                }
            }
        }
        if (const std::optional<double> current = archive::realValue(record->field("currentEntry"));
            current && std::isfinite(*current) && std::fabs(*current) < 1e9) {
            stack.currentEntry = static_cast<std::int64_t>(*current);
        }
        result.emplace(band, std::move(stack));
    }
    return result;
}

BandStacks::ReadResult BandStacks::readStackDictionary(const std::filesystem::path& path,
                                                       bool debugEnabled) {
    ReadResult result;
    const std::optional<ArchiveValue> root = decodeDictionaryAtPath(path);
    bandStackDictionary = root ? *fromArchiveRoot(*root) : std::map<std::string, BandStack>{};
    struct stat info {};
    if (!root && !path.empty() && ::stat(path.c_str(), &info) == 0) {
        // Keep what the user had: the defaults written next would replace it.
        result.setAside = renameAside(path, "unreadable");
        log("readStackDictionary: unreadable file moved to {}",
            result.setAside ? result.setAside->string() : std::string("(not moved)"));
    }
    log("readStackDictionary {} entries read from {}", bandStackDictionary.size(), path.string());
    if (bandStackDictionary.empty()) {
        return result;
    }
    for (auto& [band, stack] : bandStackDictionary) {
        stack.cleanFrequency();
        std::erase_if(stack.stackEntries, [&band = band](const StackEntry& entry) {
            if (bandMetersFromMHz(strings::doubleValue(entry->megahertz)) == band) {
                return false;
            }
            log("Band:{} Invalid Frequency:{}", strings::padTo(band, 4),
                strings::padTo(entry->megahertz, 8));
            return true;
        });
        stack.removeDuplicates();
        if (debugEnabled) {
            for (const StackEntry& entry : stack.stackEntries) {
                log("Band:{} Frequency:{} Mode:{}", strings::padTo(band, 4),
                    strings::padTo(entry->megahertz, 8), entry->mode);
            }
        }
    }
    result.read = true;
    return result;
}

bool BandStacks::saveStackDictionary(const std::filesystem::path& path, Error* error) const {
    Error failure;
    bool success = false;
    if (const std::optional<std::string> data = archivedData(archiveRoot(), &failure); !data) {
        log("encodeDictionary:archivedDataWithRootObject:error:[{}]", failure.description);
    } else if (!writeFileAtomically(path, *data, 0600, &failure)) {
        log("encodeDictionary:writeToFile:error:[{}]", failure.description);
    } else {
        success = true;
    }
    log("saveStackDictionary:sucess:[{}] dataFilesPath:[{}]", success ? 1 : 0, path.string());
    if (!success) {
        setError(error, failure);
    }
    return success;
}

BandStacks::AddOutcome BandStacks::saveStackFrequency(const std::string& megahertz,
                                                      const std::string& mode,
                                                      const std::string& band) {
    if (megahertz.empty() || mode.empty() || band.empty()) {
        return AddOutcome::kNothing;
    }
    if (bandMetersFromMHz(strings::doubleValue(megahertz)) != band) {
        log("saveStackFrequency: invalid frequency:[{}] and Mode:[{}] for band:[{}]", megahertz,
            mode, band);
        return AddOutcome::kInvalidFrequency;
    }
    auto entry = std::make_shared<FrequencyAndMode>(FrequencyAndMode{megahertz, mode, clock_()});
    const auto found = bandStackDictionary.find(band);
    if (found == bandStackDictionary.end()) {
        BandStack stack;
        stack.stackEntries.push_back(entry);
        bandStackDictionary.emplace(band, std::move(stack));
        log("saveStackFrequency: created new band stack for band:[{}]", band);
        log("saveStackFrequency:frequency:[{}] and Mode:[{}] added to [{}]", megahertz, mode, band);
        return AddOutcome::kAdded;
    }
    BandStack& stack = found->second;
    for (const StackEntry& existing : stack.stackEntries) {
        if (existing->isEqual(*entry)) {
            return AddOutcome::kUnchanged;
        }
    }
    stack.stackEntries.push_back(entry);
    log("saveStackFrequency:frequency:[{}] and Mode:[{}] added to [{}]", megahertz, mode, band);
    if (stack.stackEntries.size() > kBandStackLimit) {
        stack.removeOldestEntry();
    }
    return AddOutcome::kAdded;
}

StackEntry BandStacks::getNextBandStackEntryforBand(const std::string& band) {
    const auto found = bandStackDictionary.find(band);
    if (found == bandStackDictionary.end()) {
        log("getNextBandStackEntryforBand:bandStack:0/0");
        return nullptr;
    }
    BandStack& stack = found->second;
    const auto count = static_cast<std::int64_t>(stack.stackEntries.size());
    if (count == 0) {
        log("getNextBandStackEntryforBand:bandStack is empty");
        return nullptr;
    }
    std::int64_t current = stack.currentEntry.value_or(0);
    if (current < 0) {
        log("getNextBandStackEntryforBand:bandStack:{}/{}", current, count);
        current = 0;
    } else if (current >= count) {
        log("getNextBandStackEntryforBand:bandStack:{}/{}", current, count);
        current = count - 1;
    }
    StackEntry entry = stack.stackEntries[static_cast<std::size_t>(current)];
    stack.currentEntry = current + 1 < count ? current + 1 : 0;
    return entry;
}

std::vector<StackEntry>* BandStacks::loadStackObjectArray(const std::string& band) {
    const auto found = bandStackDictionary.find(band);
    return found == bandStackDictionary.end() ? nullptr : &found->second.stackEntries;
}

void BandStacks::saveStackObjectArrayforBand(const std::string& band,
                                             const std::vector<StackEntry>& entries) {
    if (band.empty() || entries.empty()) {
        return;
    }
    if (std::vector<StackEntry>* stack = loadStackObjectArray(band)) {
        *stack = entries;
    }
}

}  // namespace vm
