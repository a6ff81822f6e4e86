#pragma once
// All bands' stacks and their file (data_files/band_stack.plist_002): a keyed archive whose root is
// a dictionary from band name to a "BandStack" record ("stackEntries", "currentEntry"), each entry
// a "FrequencyAndMode" record ("megahertz", "mode", "timeStamp"). The class names and keys are the
// file format. The file is written whole or not at all; a file that cannot be decoded is renamed
// aside before anything replaces it.
#include "app/memory/BandStack.h"
#include "platform/core/Error.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vm {

inline constexpr const char* kBandStackFileName = "band_stack.plist_002";

// The most entries additions leave in a stack.
inline constexpr std::size_t kBandStackLimit = 20;

class BandStacks {
public:
    using Clock = std::function<ArchiveDate()>;
    explicit BandStacks(Clock clock = archiveDateNow) : clock_(std::move(clock)) {}

    // Band name ("160M" ... "6M") to its stack: the app controller's bandStackDictionary.
    std::map<std::string, BandStack> bandStackDictionary;

    // Gives every band of the default table that has no stack one with its default entry.
    void createBandStackDictionaryWithDefaults();

    struct ReadResult {
        bool read = false;  // at least one band was read
        // Where an existing file that could not be decoded was moved to, if it was.
        std::optional<std::filesystem::path> setAside;
    };
    // Replaces the dictionary by the file's content (empty when there is none or it cannot be
    // decoded) and cleans every stack: frequencies rewritten, entries outside their band, invalid
    // or repeated dropped.
    ReadResult readStackDictionary(const std::filesystem::path& path, bool debugEnabled = false);

    // Writes the dictionary; logs the outcome. On failure the old file stays.
    bool saveStackDictionary(const std::filesystem::path& path, Error* error = nullptr) const;

    enum class AddOutcome {
        kNothing,           // an empty text: nothing happens
        kInvalidFrequency,  // the frequency is not in the band: the caller beeps
        kUnchanged,         // an equal entry is there already
        kAdded,             // added (a new stack, or at the end): the caller saves the file
    };
    // Adds an entry made now to the band's stack; a stack that reaches 21 entries loses its oldest.
    AddOutcome saveStackFrequency(const std::string& megahertz, const std::string& mode,
                                  const std::string& band);

    // The entry the band's next press tunes to, advancing the band's index round the stack.
    StackEntry getNextBandStackEntryforBand(const std::string& band);

    // The band's own entries (not a copy), or null when the band has no stack.
    std::vector<StackEntry>* loadStackObjectArray(const std::string& band);
    // Replaces the band's entries by the edited list; an empty band, an empty list or a band
    // without a stack changes nothing. Nothing is written here.
    void saveStackObjectArrayforBand(const std::string& band,
                                     const std::vector<StackEntry>& entries);

    // The archive the dictionary is written as, and the dictionary an archive's root gives back
    // (nullopt for a root that is no dictionary).
    ArchiveValue archiveRoot() const;
    static std::optional<std::map<std::string, BandStack>> fromArchiveRoot(
        const ArchiveValue& root);

private:
    Clock clock_;
};

}  // namespace vm
